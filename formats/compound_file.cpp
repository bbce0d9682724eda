#include "formats/compound_file.h"

#include "formats/le_bytes.h"

namespace kelvora::cfb {

namespace {

constexpr int kDirectoryEntrySize = 128;
constexpr int kMaxNameChars = 31;  // 32 UTF-16 units with the terminating NUL

std::uint32_t ceilDiv(qint64 a, qint64 b) {
    return static_cast<std::uint32_t>((a + b - 1) / b);
}

}  // namespace

QByteArray headerSector(const Layout& layout) {
    QByteArray out;
    static const char kSignature[8] = {'\xD0', '\xCF', '\x11', '\xE0',
                                       '\xA1', '\xB1', '\x1A', '\xE1'};
    out.append(kSignature, 8);
    out.append(16, '\0');    // class id
    appendU16(out, 0x003E);  // minor version
    appendU16(out, 0x0003);  // major version: 512-byte sectors
    appendU16(out, 0xFFFE);  // byte order mark
    appendU16(out, 9);       // sector shift
    appendU16(out, 6);       // mini sector shift
    out.append(6, '\0');
    appendU32(out, 0);  // directory sectors: always 0 in version 3
    appendU32(out, layout.fatSectors);
    appendU32(out, layout.directorySector());
    appendU32(out, 0);  // transaction signature
    appendU32(out, kMiniStreamCutoff);
    appendU32(out, kEndOfChain);  // no mini FAT
    appendU32(out, 0);
    appendU32(out, layout.difatSectors > 0 ? layout.firstDifatSector() : kEndOfChain);
    appendU32(out, layout.difatSectors);
    for (std::uint32_t slot = 0; slot < kHeaderFatSlots; ++slot) {
        appendU32(out, slot < layout.fatSectors ? layout.firstFatSector() + slot : kFreeSector);
    }
    return out;
}

namespace {

void appendFat(ByteSink& out, const Layout& layout) {
    const std::uint32_t entries = layout.fatSectors * kIdsPerSector;
    for (std::uint32_t id = 0; id < entries; ++id) {
        std::uint32_t next = kFreeSector;
        if (id < layout.streamSectors) {
            next = id + 1 < layout.streamSectors ? id + 1 : kEndOfChain;
        } else if (id < layout.firstDifatSector()) {
            next = kFatSector;
        } else if (id < layout.directorySector()) {
            next = kDifatSector;
        } else if (id == layout.directorySector()) {
            next = kEndOfChain;
        }
        out.appendU32(next);
        out.checkpoint();
    }
}

void appendDifat(ByteSink& out, const Layout& layout) {
    std::uint32_t fatIndex = kHeaderFatSlots;
    for (std::uint32_t d = 0; d < layout.difatSectors; ++d) {
        for (int slot = 0; slot < kFatIdsPerDifatSector; ++slot, ++fatIndex) {
            out.appendU32(fatIndex < layout.fatSectors ? layout.firstFatSector() + fatIndex
                                                       : kFreeSector);
        }
        out.appendU32(d + 1 < layout.difatSectors ? layout.firstDifatSector() + d + 1
                                                  : kEndOfChain);
    }
}

void appendDirectoryEntry(QByteArray& out, const QString& name, std::uint8_t type,
                          std::uint32_t child, std::uint32_t start, std::uint32_t size) {
    const qsizetype begin = out.size();
    for (const QChar ch : name) {
        appendU16(out, ch.unicode());
    }
    out.append(64 - name.size() * 2, '\0');  // NUL terminator and padding
    appendU16(out, name.isEmpty() ? 0 : static_cast<std::uint16_t>((name.size() + 1) * 2));
    appendU8(out, type);
    appendU8(out, type == 0 ? 0 : 1);  // colour: black
    appendU32(out, kNoEntry);          // left sibling
    appendU32(out, kNoEntry);          // right sibling
    appendU32(out, child);
    out.append(16 + 4 + 16, '\0');  // class id, state bits, creation and modification times
    appendU32(out, start);
    appendU32(out, size);
    appendU32(out, 0);  // high half of the size
    Q_ASSERT(out.size() - begin == kDirectoryEntrySize);
}

}  // namespace

Layout planLayout(qint64 streamBytes) {
    Layout layout;
    layout.streamSectors = ceilDiv(streamBytes, kSectorSize);
    // Each FAT sector maps itself too, and beyond 109 FAT sectors the DIFAT sectors need mapping
    // as well: grow until the count no longer changes.
    for (;;) {
        const std::uint32_t fat = layout.fatSectors;
        layout.difatSectors =
            fat > kHeaderFatSlots ? ceilDiv(fat - kHeaderFatSlots, kFatIdsPerDifatSector) : 0;
        const std::uint32_t needed = ceilDiv(layout.totalSectors(), kIdsPerSector);
        if (needed <= fat) {
            break;
        }
        layout.fatSectors = needed;
    }
    return layout;
}

bool fitsOneStreamFile(const QString& streamName, qint64 streamBytes) {
    // Sizes are 32-bit in a version-3 directory entry; stay well inside them.
    return streamBytes >= qint64(kMiniStreamCutoff) && streamBytes <= 0x7FFFFFFF - (1 << 24) &&
           !streamName.isEmpty() && streamName.size() <= kMaxNameChars;
}

void appendTail(ByteSink& out, const Layout& layout, const QString& streamName,
                qint64 streamBytes) {
    out.appendZeros(qint64(layout.streamSectors) * kSectorSize - streamBytes);
    appendFat(out, layout);
    appendDifat(out, layout);
    QByteArray directory;
    appendDirectoryEntry(directory, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    appendDirectoryEntry(directory, streamName, 2, kNoEntry, 0,
                         static_cast<std::uint32_t>(streamBytes));
    appendDirectoryEntry(directory, QString(), 0, kNoEntry, 0, 0);
    appendDirectoryEntry(directory, QString(), 0, kNoEntry, 0, 0);
    out.append(directory.constData(), directory.size());
}

QByteArray buildSingleStreamFile(const QString& streamName, const QByteArray& stream) {
    if (!fitsOneStreamFile(streamName, stream.size())) {
        return {};
    }
    const Layout layout = planLayout(stream.size());
    QByteArray out;
    out.reserve(layout.fileSize());
    out.append(headerSector(layout));
    out.append(stream);
    ByteSink sink(out);
    appendTail(sink, layout, streamName, stream.size());
    Q_ASSERT(out.size() == layout.fileSize());
    return out;
}

}  // namespace kelvora::cfb
