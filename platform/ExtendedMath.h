#pragma once

#include <cmath>

// Extended-precision (80-bit) elementary functions. On x86 they are the floating-point
// unit's own instructions, which evaluate the program's formulas in extended precision
// directly and are several times faster than the C library's software versions; elsewhere
// the C library's long double functions stand in.
namespace extended {

#if defined(__x86_64__) || defined(__i386__)

// fcos and fsin accept |x| < 2^63 and leave the argument alone beyond that.
inline constexpr long double TrigLimit = 9223372036854775808.0L;

inline long double cos(long double x) {
    if (!(std::fabs(x) < TrigLimit)) {
        return cosl(x);
    }
    long double result;
    __asm__("fcos" : "=t"(result) : "0"(x));
    return result;
}

inline long double sin(long double x) {
    if (!(std::fabs(x) < TrigLimit)) {
        return sinl(x);
    }
    long double result;
    __asm__("fsin" : "=t"(result) : "0"(x));
    return result;
}

inline long double arcTan(long double x) {
    long double result;
    __asm__("fld1\n\tfpatan" : "=t"(result) : "0"(x));
    return result;
}

#else

inline long double cos(long double x) {
    return cosl(x);
}
inline long double sin(long double x) {
    return sinl(x);
}
inline long double arcTan(long double x) {
    return atanl(x);
}

#endif

inline long double sqrt(long double x) {
    return sqrtl(x);
}
inline long double ln(long double x) {
    return logl(x);
}
inline long double exp(long double x) {
    return expl(x);
}

}  // namespace extended
