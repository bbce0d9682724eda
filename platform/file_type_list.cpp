#include "platform/file_type_list.h"

namespace kelvora {

QList<FileType> parseTypeList(const QString& typeList) {
    const QStringList parts = typeList.split(QLatin1Char('|'));
    QList<FileType> types;
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        FileType type;
        type.description = parts[k];
        for (const QString& pattern : parts[k + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            type.patterns << pattern.trimmed();
        }
        if (type.description.isEmpty() && type.patterns.isEmpty()) {
            continue;  // the empty piece after the closing "|"
        }
        types << type;
    }
    return types;
}

QStringList qtNameFilters(const QList<FileType>& types) {
    QStringList filters;
    for (const FileType& type : types) {
        // Qt reads the patterns from the last parentheses, so the description's own
        // "(*.txt)" is replaced by the real patterns.
        QString name = type.description.trimmed();
        const qsizetype open = name.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && name.endsWith(QLatin1Char(')'))) {
            name = name.left(open).trimmed();
        }
        filters << QStringLiteral("%1 (%2)").arg(name, type.patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

QString typeExtension(const FileType& type) {
    if (type.patterns.isEmpty()) {
        return {};
    }
    const QString& pattern = type.patterns.first();
    if (!pattern.startsWith(QLatin1String("*."))) {
        return {};
    }
    const QString extension = pattern.mid(2);
    if (extension.isEmpty() || extension.contains(QLatin1Char('*')) ||
        extension.contains(QLatin1Char('?'))) {
        return {};
    }
    return extension;
}

}  // namespace kelvora
