// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// One glibc iconv descriptor, closed with its owner. Callers keep one per thread
// (thread_local): a descriptor carries shift state and is not safe to share.
#include <QSysInfo>
#include <QtGlobal>
#include <cerrno>
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

// Where a decoding stands: bytes read, UTF-16 units written.
struct DecodePlace {
    qsizetype in = 0;
    qsizetype written = 0;
};

// Decodes bytes[at.in, size) into dst from at.written on, with a converter whose source gives
// at most one UTF-16 unit per byte (dst has room for size units). Where iconv stops short,
// stopped(error) decides: it writes what stands for the bytes there and moves at past them,
// returning true to go on, or returns false to end the decoding. The converter starts afresh
// each time.
template <class Stopped>
void decodeToUtf16(const IconvConverter& converter, const char* bytes, qsizetype size,
                   char16_t* dst, DecodePlace& at, Stopped stopped) {
    converter.reset();
    while (at.in < size) {
        char* inPtr = const_cast<char*>(bytes + at.in);
        size_t inLeft = size_t(size - at.in);
        char* outPtr = reinterpret_cast<char*>(dst + at.written);
        size_t outLeft = size_t(size - at.written) * sizeof(char16_t);
        const size_t result = iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        at.in = inPtr - bytes;
        at.written = reinterpret_cast<char16_t*>(outPtr) - dst;
        if (result != size_t(-1) || at.in >= size || at.written >= size || !stopped(error))
            return;
        converter.reset();
    }
}

} // namespace sonavue
