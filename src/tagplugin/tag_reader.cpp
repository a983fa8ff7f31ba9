#include "tagplugin/tag_reader.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>
#include <taglib/wavfile.h>

#include <array>

#include "tagplugin/system_text.h"

namespace tav::tagplugin {
namespace {

struct Field {
    const char* frame;  // ID3v2 frame
    const char* info;   // RIFF INFO chunk, also the value name for WAV files
};

constexpr std::array<Field, 4> kFields{{
    {"TIT2", "INAM"},
    {"TPE1", "IART"},
    {"TALB", "IPRD"},
    {"COMM", "ICMT"},
}};

std::string_view UpToNul(const TagLib::ByteVector& data) {
    const std::string_view bytes(data.data(), data.size());
    return bytes.substr(0, bytes.find('\0'));
}

// ID3v1 fields and RIFF INFO texts carry no encoding: TagLib keeps their bytes, one per
// character, for SystemTextOfLegacy and SystemTextOfRiff to decode.
TagLib::String RawBytes(const TagLib::ByteVector& data) {
    const std::string_view bytes = UpToNul(data);
    return TagLib::String(TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size())),
                          TagLib::String::Latin1);
}

class Id3v1Bytes : public TagLib::ID3v1::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        return RawBytes(data).stripWhiteSpace();
    }
};

class RiffBytes : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override { return RawBytes(data); }
};

// TagLib keeps the handlers in its own globals, and libtag may stay loaded after the plug-in
// is unloaded: the defaults come back when the plug-in goes.
class TextHandlers {
public:
    TextHandlers() {
        TagLib::ID3v1::Tag::setStringHandler(&id3v1_);
        TagLib::RIFF::Info::Tag::setStringHandler(&riff_);
    }
    ~TextHandlers() {
        TagLib::ID3v1::Tag::setStringHandler(nullptr);
        TagLib::RIFF::Info::Tag::setStringHandler(nullptr);
    }
    TextHandlers(const TextHandlers&) = delete;
    TextHandlers& operator=(const TextHandlers&) = delete;

private:
    Id3v1Bytes id3v1_;
    RiffBytes riff_;
};

void InstallTextHandlers() {
    static const TextHandlers handlers;
}

// A frame marked Latin-1 may hold CP932 bytes; TagLib kept them one byte per character. A
// frame whose encoding byte is none of the four of ID3v2 is broken and gives no text.
// The encoding comes as a plain number: TagLib stores any byte of the file in its enum, and a
// value outside the enum must never be held in a variable of that type.
std::string FrameText(const TagLib::String& text, int encoding) {
    if (encoding == static_cast<int>(TagLib::String::Latin1)) {
        return SystemTextOfLegacy(text.to8Bit(false));
    }
    const bool known = encoding > 0 && encoding <= static_cast<int>(TagLib::String::UTF8);
    return known ? SystemText(text) : std::string();
}

// The comment without a description wins, as in TagLib's own reading; else the first one.
std::string CommentText(const TagLib::ID3v2::FrameList& frames) {
    const TagLib::ID3v2::CommentsFrame* chosen = nullptr;
    for (const TagLib::ID3v2::Frame* frame : frames) {
        const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
        if (comment != nullptr && (chosen == nullptr || comment->description().isEmpty())) {
            chosen = comment;
            if (comment->description().isEmpty()) {
                break;
            }
        }
    }
    return chosen == nullptr ? std::string()
                             : FrameText(chosen->text(), static_cast<int>(chosen->textEncoding()));
}

std::string Id3v2Text(const TagLib::ID3v2::Tag& tag, const Field& field) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList(field.frame);
    if (frames.isEmpty()) {
        return {};
    }
    if (std::string_view(field.frame) == "COMM") {
        return CommentText(frames);
    }
    const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front());
    return text == nullptr ? SystemText(frames.front()->toString())
                           : FrameText(text->toString(), static_cast<int>(text->textEncoding()));
}

void ReadId3v2(TagReading& reading, const TagLib::ID3v2::Tag* tag) {
    for (const Field& field : kFields) {
        reading.values[std::string(field.info) + "_v2"] = tag ? Id3v2Text(*tag, field) : "";
    }
    if (tag != nullptr) {
        reading.tagBits |= kId3v2Bit;
    }
}

void ReadId3v1(TagReading& reading, const TagLib::ID3v1::Tag* tag) {
    const std::array<TagLib::String, 4> texts =
        tag ? std::array<TagLib::String, 4>{tag->title(), tag->artist(), tag->album(),
                                            tag->comment()}
            : std::array<TagLib::String, 4>{};
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        reading.values[std::string(kFields[i].info) + "_v1"] =
            SystemTextOfLegacy(texts[i].to8Bit(false));
    }
    if (tag != nullptr) {
        reading.tagBits |= kId3v1Bit;
    }
}

void ReadInfo(TagReading& reading, const TagLib::RIFF::Info::Tag* tag) {
    for (const Field& field : kFields) {
        reading.values[field.info] =
            tag ? SystemTextOfRiff(tag->fieldText(field.info).to8Bit(false)) : "";
    }
}

bool IsRiffWave(TagLib::IOStream& stream) {
    stream.seek(0);
    const TagLib::ByteVector head = stream.readBlock(12);
    stream.seek(0);
    return head.size() == 12 && head.startsWith("RIFF") && head.containsAt("WAVE", 8);
}

std::optional<TagReading> ReadWave(TagLib::IOStream& stream) {
    TagLib::RIFF::WAV::File file(&stream, false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    TagReading reading;
    reading.kind = kWavKind;
    ReadInfo(reading, file.hasInfoTag() ? file.InfoTag() : nullptr);
    ReadId3v2(reading, file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr);
    ReadId3v1(reading, nullptr);
    return reading;
}

std::optional<TagReading> ReadMpeg(TagLib::IOStream& stream) {
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return std::nullopt;
    }
    const bool v2 = file.hasID3v2Tag();
    const bool v1 = file.hasID3v1Tag();
    if (!v2 && !v1 && file.firstFrameOffset() < 0) {
        return std::nullopt;
    }
    TagReading reading;
    reading.kind = kMp3Kind;
    ReadId3v2(reading, v2 ? file.ID3v2Tag() : nullptr);
    ReadId3v1(reading, v1 ? file.ID3v1Tag() : nullptr);
    ReadInfo(reading, nullptr);
    return reading;
}

}  // namespace

std::optional<TagReading> ReadTags(TagLib::IOStream& stream) {
    InstallTextHandlers();
    if (!stream.isOpen()) {
        return std::nullopt;
    }
    return IsRiffWave(stream) ? ReadWave(stream) : ReadMpeg(stream);
}

}  // namespace tav::tagplugin
