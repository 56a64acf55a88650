#include "platform/sjis.h"

#include "platform/exceptions.h"

#include <cerrno>
#include <iconv.h>

namespace {

// iconv descriptors are costly to open; each direction is opened once per thread.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false at the first unconvertible sequence,
    // leaving `in` at it. `out` receives everything converted so far.
    bool run(std::string_view& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[4096];
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        bool good = true;
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, dst - buf);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                good = false;
                break;
            }
        }
        in = std::string_view(src, srcLeft);
        return good;
    }

private:
    iconv_t cd_;
};

Converter& ToSjis() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter& FromSjis() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    Converter& c = ToSjis();
    if (!c.ok()) throw EEncodingError("文字コード CP932 を扱えません");
    std::string out;
    out.reserve(utf8.size());
    std::string_view rest = utf8;
    if (!c.run(rest, out))
        throw EEncodingError("Shift-JIS で表せない文字があります");
    return out;
}

std::string SjisToUtf8(std::string_view sjis) {
    if (IsAscii(sjis)) return std::string(sjis);
    Converter& c = FromSjis();
    if (!c.ok()) throw EEncodingError("文字コード CP932 を扱えません");
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    std::string_view rest = sjis;
    while (!c.run(rest, out)) {
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that starts no character
        rest.remove_prefix(1);
    }
    return out;
}
