// korvanto-resexport: turns the program's resources into the files a Linux desktop
// expects, at build time, so that the icon and the version data have one source.
//
//   korvanto-resexport icon SIZE OUT.png      the SIZE x SIZE image of IDI_APPICON as PNG
//   korvanto-resexport fill IN OUT            IN with every @Key@ replaced by the version
//                                             string Key; @ReleaseDate@ is FileVersion
//                                             ("dd.mm.yy") as an ISO date
//
// Exit status 0 on success, 1 when the input is unusable, 2 for a bad command line.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "res/IconData.h"
#include "res/VersionInfo.h"
#include "res/resource.h"

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

struct Bitmap {
    int cx = 0;
    int cy = 0;
    std::vector<Rgba> pixels; // row by row from the top
};

// --- XPM (as the resources hold it: "#RRGGBB" or "None" colours) ------------------

bool ParseColour(const std::string& value, Rgba& out) {
    if (value == "None") {
        out = {0, 0, 0, 0};
        return true;
    }
    if (value.size() != 7 || value[0] != '#')
        return false;
    char* end = nullptr;
    unsigned long rgb = std::strtoul(value.c_str() + 1, &end, 16);
    if (*end != '\0')
        return false;
    out = {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
    return true;
}

bool ParseXpm(const char* const* xpm, Bitmap& bmp, std::string& error) {
    int nColours = 0, nChars = 0;
    if (std::sscanf(xpm[0], "%d %d %d %d", &bmp.cx, &bmp.cy, &nColours, &nChars) != 4 ||
        nChars < 1 || bmp.cx < 1 || bmp.cy < 1) {
        error = "bad XPM header";
        return false;
    }
    std::map<std::string, Rgba> palette;
    for (int i = 0; i < nColours; ++i) {
        std::string line = xpm[1 + i];
        std::istringstream rest(line.size() > size_t(nChars) ? line.substr(nChars) : "");
        std::string kind, value;
        rest >> kind >> value;
        Rgba colour{};
        if (line.size() <= size_t(nChars) || kind != "c" || !ParseColour(value, colour)) {
            error = "bad XPM colour line: " + line;
            return false;
        }
        palette[line.substr(0, nChars)] = colour;
    }
    for (int y = 0; y < bmp.cy; ++y) {
        std::string row = xpm[1 + nColours + y];
        if (row.size() != size_t(bmp.cx * nChars)) {
            error = "XPM row of the wrong length";
            return false;
        }
        for (int x = 0; x < bmp.cx; ++x) {
            auto it = palette.find(row.substr(size_t(x * nChars), size_t(nChars)));
            if (it == palette.end()) {
                error = "XPM pixel with no colour";
                return false;
            }
            bmp.pixels.push_back(it->second);
        }
    }
    return true;
}

// --- PNG: RGBA, 8 bits, a zlib stream of stored (uncompressed) blocks ----------------

std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::string& data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void PutBig32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((v >> shift) & 0xFF);
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
    PutBig32(png, std::uint32_t(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    PutBig32(png, Crc32(typed));
}

std::string Zlib(const std::string& raw) {
    std::string z = "\x78\x01";
    size_t pos = 0;
    do {
        size_t len = std::min<size_t>(raw.size() - pos, 65535);
        bool last = pos + len == raw.size();
        z += char(last ? 1 : 0);
        z += char(len & 0xFF);
        z += char(len >> 8);
        z += char(~len & 0xFF);
        z += char((~len >> 8) & 0xFF);
        z += raw.substr(pos, len);
        pos += len;
    } while (pos < raw.size());
    PutBig32(z, Adler32(raw));
    return z;
}

std::string EncodePng(const Bitmap& bmp) {
    std::string header;
    PutBig32(header, std::uint32_t(bmp.cx));
    PutBig32(header, std::uint32_t(bmp.cy));
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter,
                                                      // no interlace
    std::string raw;
    for (int y = 0; y < bmp.cy; ++y) {
        raw += '\0'; // filter type none
        for (int x = 0; x < bmp.cx; ++x) {
            const Rgba& p = bmp.pixels[size_t(y * bmp.cx + x)];
            raw += char(p.r);
            raw += char(p.g);
            raw += char(p.b);
            raw += char(p.a);
        }
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Zlib(raw));
    PutChunk(png, "IEND", "");
    return png;
}

// --- Commands -----------------------------------------------------------------------

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    return bool(out);
}

int ExportIcon(int size, const std::string& outPath) {
    const IconGroup* pGroup = FindIconGroup(IDI_APPICON);
    for (int i = 0; pGroup && i < pGroup->nImages; ++i) {
        const IconImage& image = pGroup->pImages[i];
        if (image.cx != size || image.cy != size)
            continue;
        Bitmap bmp;
        std::string error;
        if (!ParseXpm(image.xpm, bmp, error)) {
            std::fprintf(stderr, "korvanto-resexport: %s\n", error.c_str());
            return 1;
        }
        if (!WriteFile(outPath, EncodePng(bmp))) {
            std::fprintf(stderr, "korvanto-resexport: cannot write %s\n", outPath.c_str());
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "korvanto-resexport: the icon has no %dx%d image\n", size, size);
    return 1;
}

// "11.01.99" -> "1999-01-11"; empty when the text is no such date.
std::string IsoDate(const std::string& text) {
    int d = 0, m = 0, y = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2d.%2d.%2d%c", &d, &m, &y, &tail) != 3 || d < 1 || d > 31 ||
        m < 1 || m > 12)
        return "";
    char iso[32];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", y < 70 ? 2000 + y : 1900 + y, m, d);
    return iso;
}

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool LookUp(const std::string& key, std::string& value) {
    if (key == "ReleaseDate") {
        LPCSTR fileVersion = FindVersionString("FileVersion");
        value = fileVersion ? IsoDate(fileVersion) : "";
        return !value.empty();
    }
    LPCSTR found = FindVersionString(key.c_str());
    if (!found)
        return false;
    value = found;
    return true;
}

int Fill(const std::string& inPath, const std::string& outPath) {
    std::ifstream in(inPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "korvanto-resexport: cannot read %s\n", inPath.c_str());
        return 1;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    const bool bXml = outPath.size() >= 4 && outPath.compare(outPath.size() - 4, 4, ".xml") == 0;
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t at = text.find('@', pos);
        size_t end = at == std::string::npos ? at : text.find('@', at + 1);
        if (end == std::string::npos) {
            out += text.substr(pos);
            break;
        }
        std::string key = text.substr(at + 1, end - at - 1), value;
        if (!LookUp(key, value)) {
            std::fprintf(stderr, "korvanto-resexport: %s: no version value @%s@\n", inPath.c_str(),
                         key.c_str());
            return 1;
        }
        out += text.substr(pos, at - pos) + (bXml ? EscapeXml(value) : value);
        pos = end + 1;
    }
    if (!WriteFile(outPath, out)) {
        std::fprintf(stderr, "korvanto-resexport: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "icon")
        return ExportIcon(std::atoi(argv[2]), argv[3]);
    if (argc == 4 && std::string(argv[1]) == "fill")
        return Fill(argv[2], argv[3]);
    std::fprintf(stderr, "usage: korvanto-resexport icon SIZE OUT.png\n"
                         "       korvanto-resexport fill IN OUT\n");
    return 2;
}
