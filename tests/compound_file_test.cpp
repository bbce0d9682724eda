#include "platform/compound_file.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/le_bytes.h"

namespace kelvora::cfb {
namespace {

// A reader that walks the file the way a consumer does: header, DIFAT chain, FAT, directory
// chain, then the stream's own chain. It records every inconsistency it meets.
struct ParsedFile {
    std::uint32_t fatCount = 0;
    std::uint32_t difatCount = 0;
    std::uint32_t firstDifat = 0;
    std::uint32_t firstDirectory = 0;
    std::vector<std::uint32_t> fatSectorIds;
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> difatSectorIds;
    QStringList names;
    std::vector<int> types;
    std::vector<std::uint32_t> starts, sizes, children;
    QByteArray stream;
    QStringList problems;
};

QByteArray sector(const QByteArray& file, std::uint32_t id) {
    return file.mid((qsizetype(id) + 1) * kSectorSize, kSectorSize);
}

QByteArray followChain(const QByteArray& file, const ParsedFile& parsed, std::uint32_t start,
                       QStringList& problems) {
    QByteArray out;
    std::uint32_t id = start;
    std::size_t steps = 0;
    while (id != kEndOfChain) {
        if (id >= parsed.fat.size() || ++steps > parsed.fat.size()) {
            problems << QStringLiteral("chain breaks or loops at %1").arg(id);
            break;
        }
        out.append(sector(file, id));
        id = parsed.fat[id];
    }
    return out;
}

ParsedFile parse(const QByteArray& file) {
    ParsedFile p;
    p.fatCount = readU32(file, 0x2C);
    p.firstDirectory = readU32(file, 0x30);
    p.firstDifat = readU32(file, 0x44);
    p.difatCount = readU32(file, 0x48);
    for (std::uint32_t k = 0; k < 109 && k < p.fatCount; ++k) {
        p.fatSectorIds.push_back(readU32(file, 0x4C + 4 * int(k)));
    }
    std::uint32_t difat = p.firstDifat;
    while (p.fatSectorIds.size() < p.fatCount && difat != kEndOfChain) {
        p.difatSectorIds.push_back(difat);
        const QByteArray s = sector(file, difat);
        for (int slot = 0; slot < 127 && p.fatSectorIds.size() < p.fatCount; ++slot) {
            p.fatSectorIds.push_back(readU32(s, 4 * slot));
        }
        difat = readU32(s, 508);
        if (p.difatSectorIds.size() > p.difatCount) {
            p.problems << QStringLiteral("more DIFAT sectors than the header says");
            break;
        }
    }
    if (p.fatSectorIds.size() != p.fatCount) {
        p.problems << QStringLiteral("FAT sector ids missing");
    }
    for (std::uint32_t id : p.fatSectorIds) {
        const QByteArray s = sector(file, id);
        for (int k = 0; k < kIdsPerSector; ++k) {
            p.fat.push_back(readU32(s, 4 * k));
        }
    }
    const QByteArray directory = followChain(file, p, p.firstDirectory, p.problems);
    for (int offset = 0; offset + 128 <= directory.size(); offset += 128) {
        const int nameBytes = readU16(directory, offset + 64);
        QString name;
        for (int k = 0; k + 2 < nameBytes; k += 2) {
            name.append(QChar(readU16(directory, offset + k)));
        }
        p.names << name;
        p.types.push_back(static_cast<std::uint8_t>(directory[offset + 66]));
        p.children.push_back(readU32(directory, offset + 76));
        p.starts.push_back(readU32(directory, offset + 116));
        p.sizes.push_back(readU32(directory, offset + 120));
    }
    if (p.types.size() >= 2 && p.types[1] == 2) {
        p.stream = followChain(file, p, p.starts[1], p.problems).left(p.sizes[1]);
    }
    return p;
}

QByteArray patternStream(qint64 size) {
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 k = 0; k < size; ++k) {
        data[k] = static_cast<char>((k * 131 + k / 509) & 0xFF);
    }
    return data;
}

struct SizeCase {
    const char* name;
    qint64 streamBytes;
    std::uint32_t streamSectors, fatSectors, difatSectors;
};

// Expected counts worked out by hand from 128 * F >= W + F + D + 1.
const SizeCase kSizeCases[] = {
    {"Smallest", 4096, 8, 1, 0},
    {"OneByteIntoNinthSector", 4097, 9, 1, 0},
    {"TwoFatSectors", 126 * 512 + 1, 127, 2, 0},
    {"LargestWithoutDifat", 7087104, 13842, 109, 0},
    {"FirstNeedingDifat", 7087105, 13843, 110, 1},
    {"TwoDifatSectors", 30000 * 512, 30000, 237, 2},
};

class CompoundFileSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CompoundFileSizes, LayoutCountsAreMinimalAndExact) {
    const SizeCase& c = GetParam();
    const Layout layout = planLayout(c.streamBytes);
    EXPECT_EQ(layout.streamSectors, c.streamSectors);
    EXPECT_EQ(layout.fatSectors, c.fatSectors);
    EXPECT_EQ(layout.difatSectors, c.difatSectors);
    EXPECT_GE(std::uint64_t(layout.fatSectors) * kIdsPerSector, layout.totalSectors());
    // One FAT sector fewer would not map everything.
    const std::uint32_t fewer = layout.fatSectors - 1;
    const std::uint32_t difatForFewer = fewer > 109 ? (fewer - 109 + 126) / 127 : 0;
    EXPECT_LT(std::uint64_t(fewer) * kIdsPerSector,
              std::uint64_t(layout.streamSectors) + fewer + difatForFewer + 1);
}

TEST_P(CompoundFileSizes, FileReadsBackThroughItsChains) {
    const SizeCase& c = GetParam();
    const QByteArray stream = patternStream(c.streamBytes);
    const QByteArray file = buildSingleStreamFile(QStringLiteral("Workbook"), stream);
    ASSERT_FALSE(file.isEmpty());

    EXPECT_EQ(file.left(8), QByteArray::fromHex("D0CF11E0A1B11AE1"));
    EXPECT_EQ(readU16(file, 0x18), 0x003E);
    EXPECT_EQ(readU16(file, 0x1A), 3);
    EXPECT_EQ(readU16(file, 0x1C), 0xFFFE);
    EXPECT_EQ(readU16(file, 0x1E), 9);
    EXPECT_EQ(readU16(file, 0x20), 6);
    EXPECT_EQ(readU32(file, 0x28), 0u);  // directory sector count
    EXPECT_EQ(readU32(file, 0x38), 4096u);
    EXPECT_EQ(readU32(file, 0x3C), kEndOfChain);  // no mini FAT
    EXPECT_EQ(readU32(file, 0x40), 0u);
    EXPECT_EQ(file.size() % kSectorSize, 0);
    EXPECT_EQ(file.size(), (qint64(c.streamSectors + c.fatSectors + c.difatSectors + 1) + 1) * 512);

    const ParsedFile parsed = parse(file);
    EXPECT_TRUE(parsed.problems.isEmpty()) << parsed.problems.join("; ").toStdString();
    EXPECT_EQ(parsed.fatCount, c.fatSectors);
    EXPECT_EQ(parsed.difatCount, c.difatSectors);
    EXPECT_EQ(parsed.difatSectorIds.size(), c.difatSectors);
    EXPECT_EQ(parsed.firstDifat, c.difatSectors > 0 ? c.streamSectors + c.fatSectors : kEndOfChain);
    for (std::uint32_t id : parsed.fatSectorIds) {
        EXPECT_EQ(parsed.fat.at(id), kFatSector) << "FAT sector " << id;
    }
    for (std::uint32_t id : parsed.difatSectorIds) {
        EXPECT_EQ(parsed.fat.at(id), kDifatSector) << "DIFAT sector " << id;
    }
    const std::uint32_t used = c.streamSectors + c.fatSectors + c.difatSectors + 1;
    for (std::size_t id = used; id < parsed.fat.size(); ++id) {
        ASSERT_EQ(parsed.fat[id], kFreeSector) << "entry " << id;
    }
    for (int slot = int(std::min<std::uint32_t>(c.fatSectors, 109)); slot < 109; ++slot) {
        EXPECT_EQ(readU32(file, 0x4C + 4 * slot), kFreeSector) << "header slot " << slot;
    }

    ASSERT_EQ(parsed.names.size(), 4);
    EXPECT_EQ(parsed.names[0], QStringLiteral("Root Entry"));
    EXPECT_EQ(parsed.types[0], 5);
    EXPECT_EQ(parsed.children[0], 1u);
    EXPECT_EQ(parsed.starts[0], kEndOfChain);
    EXPECT_EQ(parsed.names[1], QStringLiteral("Workbook"));
    EXPECT_EQ(parsed.types[1], 2);
    EXPECT_EQ(parsed.sizes[1], std::uint32_t(c.streamBytes));
    EXPECT_EQ(parsed.types[2], 0);
    EXPECT_EQ(parsed.types[3], 0);
    EXPECT_TRUE(parsed.stream == stream) << "stream content differs";
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompoundFileSizes, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompoundFile, LastDifatSectorEndsTheChain) {
    const QByteArray file =
        buildSingleStreamFile(QStringLiteral("Workbook"), patternStream(30000 * 512));
    const ParsedFile parsed = parse(file);
    ASSERT_EQ(parsed.difatSectorIds.size(), 2u);
    EXPECT_EQ(readU32(sector(file, parsed.difatSectorIds[0]), 508), parsed.difatSectorIds[1]);
    EXPECT_EQ(readU32(sector(file, parsed.difatSectorIds[1]), 508), kEndOfChain);
    // 237 FAT sectors: 109 in the header, 127 in the first DIFAT sector, 1 in the second.
    const QByteArray last = sector(file, parsed.difatSectorIds[1]);
    EXPECT_NE(readU32(last, 0), kFreeSector);
    for (int slot = 1; slot < 127; ++slot) {
        ASSERT_EQ(readU32(last, 4 * slot), kFreeSector) << "slot " << slot;
    }
}

TEST(CompoundFile, RejectsWhatItCannotWrite) {
    struct Case {
        const char* why;
        QString name;
        qint64 size;
    };
    const Case cases[] = {
        {"stream below the mini-stream cutoff", QStringLiteral("Workbook"), 4095},
        {"empty stream", QStringLiteral("Workbook"), 0},
        {"empty name", QString(), 4096},
        {"name of 32 characters", QString(32, QLatin1Char('n')), 4096},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(buildSingleStreamFile(c.name, patternStream(c.size)).isEmpty()) << c.why;
    }
    EXPECT_FALSE(
        buildSingleStreamFile(QString(31, QLatin1Char('n')), patternStream(4096)).isEmpty());
}

}  // namespace
}  // namespace kelvora::cfb
