#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kelvora {

// One entry of a dialog type list such as "txt格式 (*.txt)|*.txt|".
struct FileType {
    QString description;   // "txt格式 (*.txt)"
    QStringList patterns;  // "*.txt"
};

// The entries of a "description|patterns|description|patterns|" list; patterns are separated
// by ";". A trailing description without patterns is dropped.
QList<FileType> parseTypeList(const QString& typeList);

// Name filters in Qt's form, "description (pattern pattern)", one per type.
QStringList qtNameFilters(const QList<FileType>& types);

// The extension of a type's first pattern without the dot ("txt" for "*.txt"); empty when the
// pattern names no single extension ("*.*", "*").
QString typeExtension(const FileType& type);

}  // namespace kelvora
