#include "bitstream.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

namespace Cut::Bitstream {

namespace {

struct Unit {
    const std::uint8_t* data;
    std::size_t size;
};

std::vector<Unit> SplitAnnexB(const std::uint8_t* data, std::size_t size) {
    std::vector<Unit> units;
    std::size_t i = 0;
    std::size_t begin = std::size_t(-1);
    while (i + 2 < size) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            if (begin != std::size_t(-1)) {
                std::size_t end = i;
                while (end > begin && data[end - 1] == 0)
                    --end;
                units.push_back({data + begin, end - begin});
            }
            i += 3;
            begin = i;
        } else {
            ++i;
        }
    }
    if (begin != std::size_t(-1) && begin < size)
        units.push_back({data + begin, size - begin});
    return units;
}

std::vector<Unit> SplitLengthPrefixed(const std::uint8_t* data, std::size_t size, int lengthSize) {
    std::vector<Unit> units;
    std::size_t i = 0;
    while (i + lengthSize <= size) {
        std::size_t length = 0;
        for (int b = 0; b < lengthSize; ++b)
            length = (length << 8) | data[i + b];
        i += lengthSize;
        if (length > size - i)
            break;
        units.push_back({data + i, length});
        i += length;
    }
    return units;
}

void AppendUnit(Bytes& out, const std::uint8_t* data, std::size_t size, int lengthSize) {
    if (lengthSize == 0) {
        out.insert(out.end(), {0, 0, 0, 1});
    } else {
        for (int b = lengthSize - 1; b >= 0; --b)
            out.push_back(std::uint8_t(size >> (8 * b)));
    }
    out.insert(out.end(), data, data + size);
}

bool IsAvcConfiguration(AVCodecID codec, const Bytes& extradata) {
    return codec == AV_CODEC_ID_H264 && extradata.size() >= 7 && extradata[0] == 1;
}

bool IsHevcConfiguration(AVCodecID codec, const Bytes& extradata) {
    return codec == AV_CODEC_ID_HEVC && extradata.size() >= 23 && extradata[0] == 1;
}

// The units of an avcC record: its SPS list, then its PPS list.
std::vector<Unit> AvcConfigurationUnits(const Bytes& extradata) {
    std::vector<Unit> units;
    std::size_t i = 5;
    for (int list = 0; list < 2 && i < extradata.size(); ++list) {
        const int count = list == 0 ? (extradata[i] & 0x1f) : extradata[i];
        ++i;
        for (int n = 0; n < count && i + 2 <= extradata.size(); ++n) {
            const std::size_t length = (std::size_t(extradata[i]) << 8) | extradata[i + 1];
            i += 2;
            if (length > extradata.size() - i)
                return units;
            units.push_back({extradata.data() + i, length});
            i += length;
        }
    }
    return units;
}

// The units of an hvcC record's arrays (VPS, SPS, PPS and SEI).
std::vector<Unit> HevcConfigurationUnits(const Bytes& extradata) {
    std::vector<Unit> units;
    std::size_t i = 22;
    const int arrays = extradata[i++];
    for (int a = 0; a < arrays && i + 3 <= extradata.size(); ++a) {
        const int type = extradata[i] & 0x3f;
        const int count = (extradata[i + 1] << 8) | extradata[i + 2];
        i += 3;
        for (int n = 0; n < count && i + 2 <= extradata.size(); ++n) {
            const std::size_t length = (std::size_t(extradata[i]) << 8) | extradata[i + 1];
            i += 2;
            if (length > extradata.size() - i)
                return units;
            if (type >= 32 && type <= 34)
                units.push_back({extradata.data() + i, length});
            i += length;
        }
    }
    return units;
}

bool IsParameterSetUnit(AVCodecID codec, const Unit& unit) {
    if (unit.size == 0)
        return false;
    if (codec == AV_CODEC_ID_H264) {
        const int type = unit.data[0] & 0x1f;
        return type == 7 || type == 8;
    }
    const int type = (unit.data[0] >> 1) & 0x3f;
    return type >= 32 && type <= 34;
}

// The identifier of x264's SEI message ("user data unregistered").
constexpr std::uint8_t X264Identifier[16] = {0xdc, 0x45, 0xe9, 0xbd, 0xe6, 0xd9, 0x48, 0xb7,
                                             0x96, 0x2c, 0xd8, 0x20, 0xd9, 0x23, 0xee, 0xef};

std::vector<Unit> SplitUnits(const std::uint8_t* data, std::size_t size, int lengthSize) {
    return lengthSize ? SplitLengthPrefixed(data, size, lengthSize) : SplitAnnexB(data, size);
}

bool IsX264Version(const Unit& unit) {
    if (unit.size < 1 + sizeof(X264Identifier) || (unit.data[0] & 0x1f) != 6)
        return false;
    return std::search(unit.data, unit.data + unit.size, std::begin(X264Identifier),
                       std::end(X264Identifier)) != unit.data + unit.size;
}

// AV1's open bitstream units, each with a size field (as MP4, Matroska and WebM keep them): whether one is
// a sequence header. A unit without a size field runs to the end.
bool HasAv1SequenceHeader(const std::uint8_t* data, std::size_t size) {
    constexpr int SequenceHeader = 1;
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t header = data[at++];
        if (((header >> 3) & 0x0f) == SequenceHeader)
            return true;
        at += (header >> 2) & 1; // the extension byte
        if (!((header >> 1) & 1))
            return false;
        std::uint64_t length = 0;
        for (int shift = 0; at < size && shift < 56; shift += 7) {
            const std::uint8_t byte = data[at++];
            length |= std::uint64_t(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                break;
        }
        if (length > size - std::min(at, size))
            return false;
        at += std::size_t(length);
    }
    return false;
}

} // namespace

Bytes EncoderVersionUnits(AVCodecID codec, const std::uint8_t* data, std::size_t size, int lengthSize) {
    Bytes out;
    if (codec != AV_CODEC_ID_H264)
        return out;
    for (const Unit& unit : SplitUnits(data, size, lengthSize))
        if (IsX264Version(unit))
            AppendUnit(out, unit.data, unit.size, lengthSize);
    return out;
}

int X264Build(const Bytes& units, int lengthSize) {
    static const std::string core = "x264 - core ";
    for (const Unit& unit : SplitUnits(units.data(), units.size(), lengthSize)) {
        const std::uint8_t* end = unit.data + unit.size;
        const std::uint8_t* found = std::search(unit.data, end, core.begin(), core.end());
        if (found == end)
            continue;
        int build = 0;
        int digits = 0;
        for (const std::uint8_t* at = found + core.size(); at < end && std::isdigit(*at) && digits < 6;
             ++at, ++digits)
            build = build * 10 + (*at - '0');
        if (digits > 0)
            return build;
    }
    return -1;
}

int NalLengthSize(AVCodecID codec, const Bytes& extradata) {
    if (IsAvcConfiguration(codec, extradata))
        return (extradata[4] & 3) + 1;
    if (IsHevcConfiguration(codec, extradata))
        return (extradata[21] & 3) + 1;
    return 0;
}

Bytes ParameterSetsForPacket(AVCodecID codec, const Bytes& extradata, int lengthSize) {
    Bytes out;
    std::vector<Unit> units;
    if (IsAvcConfiguration(codec, extradata))
        units = AvcConfigurationUnits(extradata);
    else if (IsHevcConfiguration(codec, extradata))
        units = HevcConfigurationUnits(extradata);
    else if (codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_HEVC)
        units = SplitAnnexB(extradata.data(), extradata.size());
    else if (codec == AV_CODEC_ID_AV1)
        // The AV1 configuration record: four bytes, then the sequence header's units as the stream has them.
        return extradata.size() > 4 && (extradata[0] & 0x80) ? Bytes(extradata.begin() + 4, extradata.end())
                                                             : extradata;
    else
        return extradata; // MPEG-2 and MPEG-4 headers are start-code units already, put in front as they are
    for (const Unit& unit : units)
        if (IsParameterSetUnit(codec, unit))
            AppendUnit(out, unit.data, unit.size, lengthSize);
    return out;
}

bool CarriesParameterSets(AVCodecID codec, const std::uint8_t* data, std::size_t size, int lengthSize) {
    if (codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_HEVC) {
        const auto units = SplitUnits(data, size, lengthSize);
        for (const Unit& unit : units) {
            const bool sequence =
                codec == AV_CODEC_ID_H264 ? (unit.data[0] & 0x1f) == 7 : ((unit.data[0] >> 1) & 0x3f) == 33;
            if (unit.size > 0 && sequence)
                return true;
        }
        return false;
    }
    if (codec == AV_CODEC_ID_AV1)
        return HasAv1SequenceHeader(data, size);
    for (const Unit& unit : SplitAnnexB(data, size)) {
        if (unit.size == 0)
            continue;
        const std::uint8_t code = unit.data[0];
        if (codec == AV_CODEC_ID_MPEG2VIDEO || codec == AV_CODEC_ID_MPEG1VIDEO) {
            if (code == 0xb3)
                return true;
        } else if (codec == AV_CODEC_ID_MPEG4 && code >= 0x20 && code <= 0x2f) {
            return true;
        }
    }
    return false;
}

Bytes AnnexBToLengthPrefixed(const std::uint8_t* data, std::size_t size, int lengthSize) {
    if (lengthSize == 0)
        return Bytes(data, data + size);
    Bytes out;
    out.reserve(size + 16);
    for (const Unit& unit : SplitAnnexB(data, size))
        AppendUnit(out, unit.data, unit.size, lengthSize);
    return out;
}

} // namespace Cut::Bitstream
