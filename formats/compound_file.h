#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "formats/byte_sink.h"

namespace kelvora::cfb {

constexpr int kSectorSize = 512;
constexpr int kHeaderFatSlots = 109;        // FAT sector ids held by the header itself
constexpr int kIdsPerSector = 128;          // 4-byte sector ids in one sector
constexpr int kFatIdsPerDifatSector = 127;  // the last slot links to the next DIFAT sector
constexpr std::uint32_t kMiniStreamCutoff = 4096;

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

// Where everything goes in a file of one stream: header, stream sectors, FAT sectors, DIFAT
// sectors, one directory sector.
struct Layout {
    std::uint32_t streamSectors = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;

    std::uint32_t firstFatSector() const { return streamSectors; }
    std::uint32_t firstDifatSector() const { return streamSectors + fatSectors; }
    std::uint32_t directorySector() const { return streamSectors + fatSectors + difatSectors; }
    std::uint32_t totalSectors() const { return directorySector() + 1; }
    qint64 fileSize() const { return (qint64(totalSectors()) + 1) * kSectorSize; }
};

// The smallest FAT (and the DIFAT it needs) that maps a stream of the given size.
Layout planLayout(qint64 streamBytes);

// Whether a stream of this size and name can be written by this writer (see below).
bool fitsOneStreamFile(const QString& streamName, qint64 streamBytes);

// The file's first 512 bytes.
QByteArray headerSector(const Layout& layout);

// What follows the stream: its last sector's padding, the FAT, the DIFAT and the directory.
void appendTail(ByteSink& out, const Layout& layout, const QString& streamName, qint64 streamBytes);

// A version-3 compound file holding one stream in ordinary sectors. Streams shorter than the
// mini-stream cutoff would belong in a mini stream, which this writer does not make: such a
// stream (or an empty name, or one longer than 31 characters) gives an empty result, so callers
// pad short streams themselves.
QByteArray buildSingleStreamFile(const QString& streamName, const QByteArray& stream);

}  // namespace kelvora::cfb
