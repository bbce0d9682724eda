#include <QImage>

#include "app/form1.h"
#include "app/save_dialog_prep.h"
#include "app/twip_label.h"
#include "files/window_picture.h"
#include "formats/text_file.h"
#include "formats/text_lines.h"

namespace kelvora {

namespace {

const SaveTypes kReadingTypes = {
    QT_TRANSLATE_NOOP("kelvora::SaveTypes", "jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|"),
    {".jpg", ".txt"}};

}  // namespace

void Form1::SaveReading() {
    prepareSaveDialog(*this, kReadingTypes);

    // The picture shows the window as it is before the dialog opens, drawn by the window itself
    // so that no other window or dialog gets into it; it also goes to the clipboard, replacing
    // what that held.
    QImage picture;
    if (firstTypeSelected(*CommonDialog1)) {
        picture = grab().toImage();
        Clipboard->setImage(picture);
    }

    const std::optional<QString> path = runSaveDialog(*this);
    if (!path) {
        return;
    }

    QString failure;
    if (firstTypeSelected(*CommonDialog1)) {
        // The text type was guessed, so no picture was taken yet: take it now. Whatever the
        // clipboard holds by now may be stale or another program's.
        if (picture.isNull()) {
            picture = grab().toImage();
            Clipboard->setImage(picture);
        }
        failure = writePicture(*path, picture);
    } else {
        // The labels as they are now: readings may have arrived while the dialog was open.
        const ReadingTexts texts = {r[0]->caption(), rc[0]->caption(),       rp[0]->caption(),
                                    p[0]->caption(), p_length[0]->caption(), v[0]->caption(),
                                    i[0]->caption()};
        failure = writeTextFile(*path, readingFileLines(measureMode, texts), textCharset);
    }
    if (!failure.isEmpty()) {
        reportSaveFailure(*this, *path, failure);
    }
}

}  // namespace kelvora
