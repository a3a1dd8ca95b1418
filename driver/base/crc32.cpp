// crc32.cpp - the installer sums every byte it writes, so the sum must cost
// little beside the copy: eight bytes a step from tables, and 64 bytes a
// step by folding with carry-less multiplication where the processor and
// the system have it.
#include "base/crc32.h"

#include <stdint.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#define CRC32_FOLDING 1
#endif
#if defined(CRC32_FOLDING) && defined(_WIN32)
#include <windows.h>
#endif

namespace {

struct crc_tables {
    uint32_t entry[8][256];
};

// entry[0] is the classic byte table; entry[k] takes a byte k places
// further on. Made at the first sum rather than by the compiler: 8 KB less
// in each program that sums, for a moment's work.
void MakeCrcTables(crc_tables &tables)
{
    for (uint32_t byte = 0; byte < 256; byte++) {
        uint32_t crc = byte;
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        tables.entry[0][byte] = crc;
    }
    for (int k = 1; k < 8; k++) {
        for (int byte = 0; byte < 256; byte++) {
            uint32_t previous = tables.entry[k - 1][byte];
            tables.entry[k][byte] = (previous >> 8) ^ tables.entry[0][previous & 0xFF];
        }
    }
}

crc_tables crc_table;

uint32_t LittleEndianWord(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// c is the running register, before the final inversion.
uint32_t CrcByTables(uint32_t c, const unsigned char *p, size_t length)
{
    const auto &t = crc_table.entry;
    for (; length >= 8; p += 8, length -= 8) {
        uint32_t low = c ^ LittleEndianWord(p), high = LittleEndianWord(p + 4);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
            t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; length > 0; p++, length--)
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c;
}

#ifdef CRC32_FOLDING

// Where the processor multiplies without carries. The system must save the
// SSE registers too, which the Windows 95 family does not: there the
// question is not even known.
bool CanFold()
{
#ifdef _WIN32
    typedef BOOL(WINAPI * feature_query)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    feature_query present = kernel ? reinterpret_cast<feature_query>(reinterpret_cast<void (*)()>(
                                         GetProcAddress(kernel, "IsProcessorFeaturePresent")))
                                   : NULL;
    if (present == NULL || !present(PF_XMMI64_INSTRUCTIONS_AVAILABLE))
        return false;
#endif
    // Asked directly: the compiler's own query brings a table of every
    // processor it knows into the program.
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) != 0;
}

__attribute__((target("sse2,pclmul"))) __m128i Load(const unsigned char *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

// x moved 128 (or 512) bits further on: its halves multiplied by x^(n+64)
// and x^n mod P, the two factors of k.
__attribute__((target("sse2,pclmul"))) __m128i Fold(__m128i x, __m128i k)
{
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}

// The register over length bytes, a multiple of 16 from 64 on: four lanes
// folded 512 bits a step, then into one, down to 64 and 32 bits, and the
// Barrett reduction by P (the constants of Intel's "Fast CRC Computation
// for Generic Polynomials Using PCLMULQDQ", bit-reflected).
__attribute__((target("sse2,pclmul"))) uint32_t CrcByFolding(uint32_t c, const unsigned char *p, size_t length)
{
    const __m128i by512 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
    const __m128i by128 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
    const __m128i by32 = _mm_set_epi64x(0, 0x163cd6124);
    const __m128i barrett = _mm_set_epi64x(0x1f7011641, 0x1db710641);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);

    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    for (p += 64, length -= 64; length >= 64; p += 64, length -= 64) {
        x1 = _mm_xor_si128(Fold(x1, by512), Load(p));
        x2 = _mm_xor_si128(Fold(x2, by512), Load(p + 16));
        x3 = _mm_xor_si128(Fold(x3, by512), Load(p + 32));
        x4 = _mm_xor_si128(Fold(x4, by512), Load(p + 48));
    }
    x1 = _mm_xor_si128(Fold(x1, by128), x2);
    x1 = _mm_xor_si128(Fold(x1, by128), x3);
    x1 = _mm_xor_si128(Fold(x1, by128), x4);
    for (; length >= 16; p += 16, length -= 16)
        x1 = _mm_xor_si128(Fold(x1, by128), Load(p));

    // 128 bits to 64, with 32 zero bits appended, then to 32.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(by128, x1, 0x01));
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), _mm_clmulepi64_si128(_mm_and_si128(x1, low32), by32, 0x00));
    __m128i quotient = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10), low32);
    x1 = _mm_xor_si128(x1, _mm_clmulepi64_si128(quotient, barrett, 0x00));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

#endif

}  // namespace

unsigned long Crc32(unsigned long crc, const void *data, size_t length)
{
    const unsigned char *p = static_cast<const unsigned char *>(data);
    uint32_t c = ~static_cast<uint32_t>(crc);
    static bool have_tables = false;
    if (!have_tables) {
        MakeCrcTables(crc_table);
        have_tables = true;
    }
#ifdef CRC32_FOLDING
    static const bool can_fold = CanFold();
    // Below a few lanes' worth the setting up costs more than it saves.
    if (length >= 256 && can_fold) {
        size_t folded = length & ~static_cast<size_t>(15);
        c = CrcByFolding(c, p, folded);
        p += folded;
        length -= folded;
    }
#endif
    return ~CrcByTables(c, p, length);
}
