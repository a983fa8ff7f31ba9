#include <gtest/gtest.h>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include <map>

#include "fakes/test_player.h"
#include "linux/dl_tag_library.h"
#include "tag_files.h"

namespace tav::test {
namespace {

using namespace std::string_literals;

const char* const kValueNames[] = {"INAM_v2", "IART_v2", "IPRD_v2", "ICMT_v2", "INAM_v1", "IART_v1",
                                   "IPRD_v1", "ICMT_v1", "INAM",    "IART",    "IPRD",    "ICMT"};

// テスト and 日本 in CP932.
const std::string kTesutoCp932 = "\x83\x65\x83\x58\x83\x67";
const std::string kNihonCp932 = "\x93\xFA\x96\x7B";

struct Expected {
    uint32_t kind;
    uint32_t tagBits;
    std::map<std::string, std::string> values;  // every other name reads empty
};

struct FileCase {
    const char* name;
    std::string bytes;
    Expected expected;
};

std::vector<FileCase> FileCases() {
    const std::string v1 = Id3v1Tag("Title1", "Artist1", "Album1", "Note1");
    const std::vector<Id3v2Frame> asciiFrames = {
        {"TIT2", TextFrame(Latin1, "Title2")},
        {"TPE1", TextFrame(Latin1, "Artist2")},
        {"TALB", TextFrame(Latin1, "Album2")},
        {"COMM", CommentFrame(Latin1, "", "Note2")},
    };
    const std::map<std::string, std::string> v1Values = {
        {"INAM_v1", "Title1"}, {"IART_v1", "Artist1"}, {"IPRD_v1", "Album1"}, {"ICMT_v1", "Note1"}};
    const std::map<std::string, std::string> v2Values = {
        {"INAM_v2", "Title2"}, {"IART_v2", "Artist2"}, {"IPRD_v2", "Album2"}, {"ICMT_v2", "Note2"}};
    std::map<std::string, std::string> bothValues = v1Values;
    bothValues.insert(v2Values.begin(), v2Values.end());
    return {
        {"ID3v1 only", MpegFrames() + v1, {1, 1, v1Values}},
        {"ID3v2.3 only", Id3v2Tag(3, asciiFrames) + MpegFrames(), {1, 2, v2Values}},
        {"ID3v2.4 only", Id3v2Tag(4, asciiFrames) + MpegFrames(), {1, 2, v2Values}},
        {"both tags", Id3v2Tag(3, asciiFrames) + MpegFrames() + v1, {1, 3, bothValues}},
        {"no tag", MpegFrames(), {1, 0, {}}},
        {"ID3v2.3 UTF-16",
         Id3v2Tag(3, {{"TIT2", TextFrame(Utf16, Utf16Le(u"テスト"))},
                      {"COMM", CommentFrame(Utf16, Utf16Le(u""), Utf16Le(u"日本"))}}) +
             MpegFrames(),
         {1, 2, {{"INAM_v2", "テスト"}, {"ICMT_v2", "日本"}}}},
        {"ID3v2.4 UTF-8",
         Id3v2Tag(4, {{"TPE1", TextFrame(Utf8, "バッハ")}, {"TALB", TextFrame(Utf8, "ミサ曲")}}) +
             MpegFrames(),
         {1, 2, {{"IART_v2", "バッハ"}, {"IPRD_v2", "ミサ曲"}}}},
        {"comment without description wins",
         Id3v2Tag(3, {{"COMM", CommentFrame(Latin1, "iTunNORM", "junk")},
                      {"COMM", CommentFrame(Latin1, "", "real")}}) +
             MpegFrames(),
         {1, 2, {{"ICMT_v2", "real"}}}},
        {"Shift_JIS in ID3v1",
         MpegFrames() + Id3v1Tag(kTesutoCp932, kNihonCp932, "", ""),
         {1, 1, {{"INAM_v1", "テスト"}, {"IART_v1", "日本"}}}},
        {"Shift_JIS in Latin-1 frames",
         Id3v2Tag(3, {{"TIT2", TextFrame(Latin1, kTesutoCp932)},
                      {"COMM", CommentFrame(Latin1, "", kNihonCp932)}}) +
             MpegFrames(),
         {1, 2, {{"INAM_v2", "テスト"}, {"ICMT_v2", "日本"}}}},
        // Lone 0xE9 is a CP932 lead byte without its second byte: Latin-1 é.
        {"Latin-1 stays Latin-1",
         Id3v2Tag(3, {{"TIT2", TextFrame(Latin1, "Caf\xE9")}}) + MpegFrames() +
             Id3v1Tag("Na\xEFve", "", "", ""),
         {1, 3, {{"INAM_v2", "Café"}, {"INAM_v1", "Naïve"}}}},
        // Half-width katakana alone: no double-byte character, so Latin-1.
        {"single bytes only",
         MpegFrames() + Id3v1Tag("\xB1\xB2", "", "", ""),
         {1, 1, {{"INAM_v1", "±²"}}}},
        // 0x85 0x40 has the shape of a CP932 character but maps to nothing.
        {"unmapped CP932 code",
         MpegFrames() + Id3v1Tag("\x85\x40", "", "", ""),
         {1, 1, {{"INAM_v1", "\xC2\x85@"}}}},
        // An encoding byte outside the four known ones: the frame gives no text.
        {"unknown text encoding byte",
         Id3v2Tag(3, {{"TIT2", "\x5B" + kTesutoCp932}, {"TPE1", TextFrame(Latin1, "Artist2")}}) +
             MpegFrames(),
         {1, 2, {{"IART_v2", "Artist2"}}}},
        {"encoding byte above 127",
         Id3v2Tag(3, {{"TIT2", "\xC1" + kTesutoCp932}, {"TPE1", TextFrame(Latin1, "Artist2")}}) +
             MpegFrames(),
         {1, 2, {{"IART_v2", "Artist2"}}}},
        {"UTF-16 frame holding ASCII bytes stays",
         Id3v2Tag(3, {{"TIT2", TextFrame(Utf16, Utf16Le(u"\u00e9t\u00e9"))}}) + MpegFrames(),
         {1, 2, {{"INAM_v2", "été"}}}},
        {"RIFF INFO",
         RiffWave({{"INAM", "Sonata"}, {"IART", "Bach"}, {"IPRD", "Works"}, {"ICMT", "live"}}),
         {2, 0, {{"INAM", "Sonata"}, {"IART", "Bach"}, {"IPRD", "Works"}, {"ICMT", "live"}}}},
        {"RIFF INFO in UTF-8 and CP932",
         RiffWave({{"INAM", "ソナタ"}, {"IART", kTesutoCp932}, {"ICMT", "Caf\xE9"}}),
         {2, 0, {{"INAM", "ソナタ"}, {"IART", "テスト"}, {"ICMT", "Café"}}}},
        {"WAV with an id3 chunk",
         RiffWave({{"INAM", "Info title"}}, Id3v2Tag(3, {{"TIT2", TextFrame(Latin1, "Id3")}})),
         {2, 2, {{"INAM", "Info title"}, {"INAM_v2", "Id3"}}}},
        {"WAV without INFO", RiffWave({}), {2, 0, {}}},
        {"ID3v2 tag only, no audio", Id3v2Tag(3, asciiFrames), {1, 2, v2Values}},
        {"file cut inside the audio",
         Id3v2Tag(3, asciiFrames) + MpegFrames().substr(0, 1000),
         {1, 2, v2Values}},
        // The frames that were written whole are read; the one cut short is dropped.
        {"file cut inside the ID3v2 tag",
         Id3v2Tag(3, asciiFrames).substr(0, 30),
         {1, 2, {{"INAM_v2", "Title2"}}}},
        {"ID3v2 header only", Id3v2Tag(3, asciiFrames).substr(0, 12), {1, 2, {}}},
        // A RIFF WAVE without chunks, or cut in its first chunk, is a WAV without tags.
        {"RIFF WAVE header only", "RIFF\x04\0\0\0WAVE"s, {2, 0, {}}},
        {"RIFF cut in the format chunk", "RIFF\x10\0\0\0WAVEfmt "s, {2, 0, {}}},
        {"RIFF cut inside INFO",
         RiffWave({{"INAM", "Sonata"}, {"IART", "Bach"}}).substr(0, 1680),
         {2, 0, {}}},
    };
}

// Files the plug-in cannot read: the load fails and nothing of an earlier file remains.
std::vector<std::pair<const char*, std::string>> UnreadableFiles() {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 37 + 11) % 0xFE);  // never 0xFF, so no frame sync
    }
    return {
        {"empty", ""},
        {"text", std::string(2000, 'x')},
        {"garbage", garbage},
        {"RIFF but not WAVE", "RIFF\x04\0\0\0AVI "s + garbage},
    };
}

class TagPluginTest : public ::testing::Test {
protected:
    struct Answer {
        uint32_t load = 0;
        uint32_t kind = 0;
        uint32_t tagBits = 0;
        std::map<std::string, std::string> values;
    };

    Answer Read(const std::string& path) {
        std::unique_ptr<TagLibrary> library = loader.Load();
        EXPECT_TRUE(library && library->HasAllExports());
        Answer answer;
        if (!library) {
            return answer;
        }
        answer.load = library->Load(0, path);
        answer.kind = library->GetType();
        answer.tagBits = library->GetTagType();
        for (const char* name : kValueNames) {
            answer.values[name] = library->GetValue(name);
        }
        return answer;
    }

    DlTagLibraryLoader loader{TAV_TAG_PLUGIN_PATH};
    TempDir dir;
};

TEST_F(TagPluginTest, ReadsKindTagBitsAndValues) {
    int index = 0;
    for (const FileCase& c : FileCases()) {
        SCOPED_TRACE(c.name);
        const Answer answer = Read(dir.AddFile("file" + std::to_string(index++), c.bytes));
        EXPECT_EQ(answer.load, 0U);
        EXPECT_EQ(answer.kind, c.expected.kind);
        EXPECT_EQ(answer.tagBits, c.expected.tagBits);
        for (const char* name : kValueNames) {
            const auto wanted = c.expected.values.find(name);
            EXPECT_EQ(answer.values.at(name),
                      wanted == c.expected.values.end() ? "" : wanted->second)
                << name;
        }
    }
}

TEST_F(TagPluginTest, UnreadableFilesFailAndForgetTheLastFile) {
    const std::string good = dir.AddFile("good.mp3", MpegFrames() + Id3v1Tag("T", "A", "", ""));
    std::vector<std::pair<const char*, std::string>> paths;
    for (const auto& [name, bytes] : UnreadableFiles()) {
        paths.emplace_back(name, dir.AddFile(std::string(name) + ".mp3", bytes));
    }
    paths.emplace_back("missing", dir.Path() + "missing.mp3");
    paths.emplace_back("folder", dir.AddFolder("folder.mp3"));
    for (const auto& [name, path] : paths) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Read(good).load, 0U);
        const Answer answer = Read(path);
        EXPECT_NE(answer.load, 0U);
        EXPECT_EQ(answer.kind, 0U);
        EXPECT_EQ(answer.tagBits, 0U);
        EXPECT_EQ(answer.values.at("INAM_v1"), "");
    }
}

TEST_F(TagPluginTest, UnknownNamesGiveNoText) {
    std::unique_ptr<TagLibrary> library = loader.Load();
    ASSERT_TRUE(library);
    ASSERT_EQ(library->Load(0, dir.AddFile("a.mp3", MpegFrames() + Id3v1Tag("T", "", "", ""))), 0U);
    EXPECT_EQ(library->GetValue("INAM_v1"), "T");
    EXPECT_EQ(library->GetValue("TIT2"), "");
    EXPECT_EQ(library->GetValue(""), "");
}

// The plug-in changes how TagLib decodes ID3v1 texts; once it is unloaded, a program that
// uses TagLib itself must find TagLib as it was.
TEST_F(TagPluginTest, TagLibIsLeftAsItWasAfterTheUnload) {
    const std::string bytes = MpegFrames() + Id3v1Tag(kTesutoCp932, "", "", "");
    EXPECT_EQ(Read(dir.AddFile("a.mp3", bytes)).values.at("INAM_v1"), "テスト");
    TagLib::ByteVector data(bytes.data(), static_cast<unsigned int>(bytes.size()));
    TagLib::ByteVectorStream stream(data);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance());
    ASSERT_TRUE(file.hasID3v1Tag());
    EXPECT_EQ(file.ID3v1Tag()->title().to8Bit(false), kTesutoCp932);  // TagLib's own Latin-1
}

}  // namespace
}  // namespace tav::test
