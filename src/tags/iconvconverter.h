#pragma once
// One glibc iconv descriptor, closed with its owner. Callers keep one per thread
// (thread_local): a descriptor carries shift state and is not safe to share.
#include <QSysInfo>
#include <iconv.h>

namespace sonavue {

// QString's UTF-16 in this machine's byte order.
constexpr const char* HostUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (valid())
            iconv_close(m_cd);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool valid() const { return m_cd != iconv_t(-1); }
    iconv_t get() const { return m_cd; }
    void reset() const {
        if (valid())
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    }

private:
    iconv_t m_cd;
};

} // namespace sonavue
