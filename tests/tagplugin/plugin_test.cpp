#include <gtest/gtest.h>
#include <sys/stat.h>
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include <array>
#include <cstdlib>
#include <map>
#include <optional>

#include "fakes/test_player.h"
#include "linux/system/dl_tag_library.h"

namespace tav::test {
namespace {

using namespace std::string_literals;

// The files are written byte by byte as the formats lay them out, so that no TagLib writer
// stands between a test and what the plug-in reads.
// Ten silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz: 417 bytes each).
std::string Mpeg() {
    std::string frames;
    for (int i = 0; i < 10; ++i) {
        frames += "\xFF\xFB\x90"s + std::string(414, '\0');
    }
    return frames;
}

// Title, artist, album and comment, each padded to 30 bytes.
std::string Id3v1(const std::array<std::string, 4>& texts) {
    std::string tag = "TAG";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        tag += texts[i] + std::string(30 - texts[i].size(), '\0') + (i == 2 ? "2024" : "");
    }
    return tag + '\xFF';
}

// An ID3v2 tag whose frames and body are below 128 bytes: their sizes read the same plain
// (version 3) and sync-safe (version 4). A frame body starts with its text encoding: 0 Latin-1,
// 1 UTF-16, 3 UTF-8.
std::string Id3v2(int version, const std::vector<std::pair<std::string, std::string>>& frames) {
    const auto size = [](std::size_t bytes) {
        return std::string(3, '\0') + static_cast<char>(bytes);
    };
    std::string body;
    for (const auto& [id, bytes] : frames) {
        body += id + size(bytes.size()) + std::string(2, '\0') + bytes;
    }
    return "ID3"s + static_cast<char>(version) + std::string(2, '\0') + size(body.size()) + body;
}

std::string Chunk(const std::string& id, const std::string& body) {
    const std::size_t n = body.size();  // below 64 KiB here; little-endian
    return id + static_cast<char>(n) + static_cast<char>(n >> 8) + std::string(2, '\0') + body +
           std::string(n % 2, '\0');
}

// A PCM WAVE file (mono, 8000 Hz, 16 bits) with a LIST INFO chunk of these texts, and an
// "id3 " chunk when given.
std::string Wave(const std::map<std::string, std::string>& info, const std::string& id3 = {}) {
    std::string chunks = Chunk("fmt ", "\1\0\1\0\x40\x1F\0\0\x80\x3E\0\0\2\0\x10\0"s) +
                         Chunk("data", std::string(1600, '\0'));
    std::string fields = "INFO";
    for (const auto& [id, text] : info) {
        fields += Chunk(id, text + '\0');
    }
    chunks += (info.empty() ? "" : Chunk("LIST", fields)) + (id3.empty() ? "" : Chunk("id3 ", id3));
    return Chunk("RIFF", "WAVE" + chunks);
}

// テスト and 日本 in CP932.
const std::string kTesuto = "\x83\x65\x83\x58\x83\x67";
const std::string kNihon = "\x93\xFA\x96\x7B";

// What the player reads through the plug-in, called as the player does: kind (1 MP3, 2 WAV), tag
// bits (1 ID3v1, 2 ID3v2), then name and text of every non-empty text; nothing if loading fails.
std::optional<std::vector<std::string>> Read(const std::string& path) {
    const std::unique_ptr<TagLibrary> library = DlTagLibraryLoader(TAV_TAG_PLUGIN_PATH).Load();
    EXPECT_TRUE(library && library->HasAllExports());
    if (!library || library->Load(0, path) != 0) {
        return std::nullopt;
    }
    std::vector<std::string> read{std::to_string(library->GetType()),
                                  std::to_string(library->GetTagType())};
    for (const char* set : {"_v2", "_v1", ""}) {
        for (const char* field : {"INAM", "IART", "IPRD", "ICMT"}) {
            const std::string name = field + std::string(set);
            if (const std::string text = library->GetValue(name.c_str()); !text.empty()) {
                read.insert(read.end(), {name, text});
            }
        }
    }
    return read;
}

TEST(TagPlugin, ReadsKindTagBitsAndTextsOrFailsOnUnreadableFiles) {
    const std::string v2 = Id3v2(3, {{"TIT2", "\0Title2"s}, {"TPE1", "\0A"s}});
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        // Double-byte CP932 is CP932; half-width katakana alone, an unmapped code (85 40) or a
        // lead byte without its trail byte are Windows-1252.
        {Mpeg() + Id3v1({kTesuto, "\xB1\xB2", "\x85\x40", "Na\xEFve"}),
         {"1", "1", "INAM_v1", "テスト", "IART_v1", "±²", "IPRD_v1", "…@", "ICMT_v1", "Naïve"}},
        {Id3v2(3, {{"TIT2", "\1\xFF\xFE\xC6\x30\xB9\x30\xC8\x30"s},
                   {"TPE1", "\1\xFF\xFE\xE9\0t\0\xE9\0"s},
                   {"TALB", "\0Caf\xE9"s},
                   {"COMM", "\0eng\0"s + kNihon}}) +
             Mpeg() + Id3v1({"T1", "A1", "B1", "C1"}),
         {"1", "3", "INAM_v2", "テスト", "IART_v2", "été", "IPRD_v2", "Café", "ICMT_v2", "日本",
          "INAM_v1", "T1", "IART_v1", "A1", "IPRD_v1", "B1", "ICMT_v1", "C1"}},
        // Encoding bytes outside the four of ID3v2 give no text; the comment without a
        // description wins over the one before it.
        {Id3v2(4, {{"TIT2", "\x5B" + kTesuto},
                   {"TPE1", "\xC1" + kTesuto},
                   {"TALB", "\3ミサ曲"},
                   {"COMM", "\3engiTunNORM\0junk"s},
                   {"COMM", "\3eng\0ライブ"s}}) +
             Mpeg(),
         {"1", "2", "IPRD_v2", "ミサ曲", "ICMT_v2", "ライブ"}},
        {Mpeg(), {"1", "0"}},
        {v2, {"1", "2", "INAM_v2", "Title2", "IART_v2", "A"}},
        {v2.substr(0, 30), {"1", "2", "INAM_v2", "Title2"}},  // cut in the second frame
        {Wave({{"INAM", "ソナタ"}, {"IART", kTesuto}, {"IPRD", "Works"}, {"ICMT", "Caf\xE9"}}),
         {"2", "0", "INAM", "ソナタ", "IART", "テスト", "IPRD", "Works", "ICMT", "Café"}},
        {Wave({{"INAM", "Info"}}, Id3v2(3, {{"TIT2", "\0Id3"s}})),
         {"2", "2", "INAM_v2", "Id3", "INAM", "Info"}},
        {"RIFF\x04\0\0\0WAVE"s, {"2", "0"}},
        {Wave({{"INAM", "Sonata"}, {"IART", "Bach"}}).substr(0, 1680), {"2", "0"}},  // cut in INFO
    };
    const TempDir dir;
    const std::string fifo = dir.Path() + "fifo.mp3", text(2000, 'x');  // opening a FIFO blocks
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir.AddFile("empty", ""), dir.AddFile("text", text),
                                    dir.AddFile("avi", "RIFF\x04\0\0\0AVI "s + text),
                                    dir.Path() + "missing", dir.AddFolder("folder"), fifo}) {
        EXPECT_EQ(Read(path), std::nullopt) << path;
    }
    int index = 0;
    for (const auto& [bytes, read] : cases) {
        EXPECT_EQ(Read(dir.AddFile("file" + std::to_string(index++), bytes)), read) << index;
    }
    // The plug-in has TagLib decode ID3v1 texts its way: once it is unloaded, a program that
    // uses TagLib itself finds TagLib's own Latin-1 again.
    TagLib::MPEG::File file((dir.Path() + "file0").c_str());
    ASSERT_TRUE(file.hasID3v1Tag());
    EXPECT_EQ(file.ID3v1Tag()->title().to8Bit(false), kTesuto);
}

// Tag bytes of no declared encoding and the text they were written as: Western names in
// Windows-1252, Japanese titles in CP932 (a byte before a hex digit is written in octal). The
// third text is what a Japanese locale reads where the bytes are also a plausible Japanese text.
struct LegacyCase {
    std::string bytes, text;
    std::string japaneseLocaleText = {};
};
const LegacyCase kLegacyCases[] = {
    {"Pok\xE9mon", "Pokémon"},
    {"Ren\351e Fleming", "Renée Fleming"},
    {"H\xE9l\xE8ne Grimaud", "Hélène Grimaud"},
    {"Mot\xF6rhead", "Motörhead"},
    {"Se\xF1orita", "Señorita"},
    {"G\xF6teborg", "Göteborg"},
    {"Bj\xF6rk", "Björk"},
    {"Sigur R\xF3s", "Sigur Rós"},
    {"Fran\xE7oise Hardy", "Françoise Hardy"},
    {"Zo\xEB Keating", "Zoë Keating"},
    {"R\xF8yksopp", "Røyksopp"},
    {"Les Mis\xE9rables", "Les Misérables"},
    {"M\344dchen", "Mädchen"},
    {"Sin\351ad O'Connor", "Sinéad O'Connor"},
    {"Andr\xE9s Segovia", "Andrés Segovia"},
    {"S\xE3o Paulo", "São Paulo"},
    {"M\xE4\xDFig bewegt", "Mäßig bewegt"},
    {"Gr\xF6\337e", "Größe"},
    {"D\xE9j\xE0 vu", "Déjà vu"},
    {"Stra\337e", "Straße"},
    {"\311dith Piaf", "Édith Piaf"},
    // The quote before a letter and œ are kanji to CP932 (稚, 忖), with no sign of a Western word.
    {"Don\x92t Stop", "Don’t Stop", "Don稚 Stop"},
    {"C\x9Cur de pirate", "Cœur de pirate", "C忖r de pirate"},
    {"\x90\xE7\x82\xC6\x90\xE7\x90q\x82\xCC\x90_\211B\x82\xB5", "千と千尋の神隠し"},
    {"\216c\x8D\x93\x82\xC8\x93V\x8Eg\x82\xCC\203e\x81[\x83[", "残酷な天使のテーゼ"},
    {"\x8CN\x82\xAA\x91\xE3", "君が代"},
    {"\x8D\xF7", "桜"},
    {"\x82\xB3\x82\xAD\x82\xE7", "さくら"},
    {"\x96\xE9\x82\xC9\x8B\xEC\x82\xAF\x82\xE9", "夜に駆ける"},
    {"\x8Dg\x98@\x89\xD8", "紅蓮華"},
    {"\x8E\x85", "糸"},
    {"\x97\xDC\x82\xBB\x82\xA4\x82\xBB\x82\xA4", "涙そうそう"},
    {"\x93\x87\x89S", "島唄"},
    {"\x92\xC3\x8Cy\212C\x8B\xAC\201E\x93~\x8Ci\220F", "津軽海峡・冬景色"},
    {"\x90\xEC\x82\xCC\x97\xAC\x82\xEA\x82\xCC\x82\xE6\x82\xA4\x82\xC9", "川の流れのように"},
    {"\x97\x83\x82\xF0\x82\xAD\x82\xBE\x82\xB3\x82\xA2", "翼をください"},
    {"\x8Ft\x82\xE6\201A\x97\x88\x82\xA2", "春よ、来い"},
    {"\x83\x8B\x81[\x83W\x83\x85\x82\xCC\x93`\x8C\xBE", "ルージュの伝言"},
    {"\x93\x8C\x8B\x9E\x83u\x83M\203E\x83M", "東京ブギウギ"},
    {"\x97\xF6", "恋"},
    {"\x8C\x8E\x8C\xF5", "月光"},
    {"\x83h\x83\x89\x82\xA6\x82\xE0\x82\xF1", "ドラえもん"},
    {"\x8D\xE2\x96{\x97\xB4\x88\xEA", "坂本龍一"},
    {"\237E\x9FG", "檸檬"},
    {"\x8FH\x8D\xF7\x81i\x83R\x83X\x83\x82\x83X\x81j", "秋桜（コスモス）"},
    {"DJ\x92n\x8D\x96\x82\xCC\x89\xC4\x8D\xD5\x82\xE8\x83\x81\x83h\x83\x8C\x81[",
     "DJ地獄の夏祭りメドレー"},
    {"Kinki Kids\x92m\x82\xE7\x82\xC8\x82\xA2\x82\xD3\x82\xE8", "Kinki Kids知らないふり"},
    // A user-defined character (F0 40, private use), where ö and ñ fall too: the detector
    // knows the rest as Shift_JIS.
    {"\x8F\xE3\x82\xF0\x8C\xFC\x82\xA2\x82\xC4\x95\xE0\x82\xB1\x82\xA4\xF0@",
     "上を向いて歩こう\uE000"},
};

// Sets LC_ALL for the plug-in's choice, and puts back what was there.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale) {
        if (const char* value = std::getenv("LC_ALL")) {
            saved_ = value;
        }
        setenv("LC_ALL", locale, 1);
    }
    ~ScopedLocale() {
        if (saved_) {
            setenv("LC_ALL", saved_->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::optional<std::string> saved_;
};

// Each text as an ID3v2 title marked Latin-1, an ID3v1 title and a RIFF INFO title.
TEST(TagPlugin, ReadsLegacyTextsAsWesternOrJapaneseByTheirBytesAndTheLocale) {
    const TempDir dir;
    for (const bool japanese : {true, false}) {
        const ScopedLocale locale(japanese ? "ja_JP.UTF-8" : "de_DE.UTF-8");
        int index = 0;
        for (const auto& [bytes, text, japaneseLocaleText] : kLegacyCases) {
            const std::string name = std::to_string(index++);
            const std::string& expected =
                japanese && !japaneseLocaleText.empty() ? japaneseLocaleText : text;
            const std::string mp3 =
                Id3v2(3, {{"TIT2", '\0' + bytes}}) + Mpeg() + Id3v1({bytes, "", "", ""});
            EXPECT_EQ(
                Read(dir.AddFile(name + ".mp3", mp3)),
                (std::vector<std::string>{"1", "3", "INAM_v2", expected, "INAM_v1", expected}))
                << text << (japanese ? " (ja)" : " (de)");
            EXPECT_EQ(Read(dir.AddFile(name + ".wav", Wave({{"INAM", bytes}}))),
                      (std::vector<std::string>{"2", "0", "INAM", expected}))
                << text << (japanese ? " (ja)" : " (de)");
        }
    }
}

}  // namespace
}  // namespace tav::test
