#pragma once
// Exception classes of the platform and the checks that stand in for the
// floating-point traps: every arithmetic fault raises the matching EMathError
// where it happens, so no NaN or infinity ever escapes a calculation.

#include <cmath>
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    virtual ~Exception() = default;
    std::string Message;
    int HelpContext = 0;
};

// Silent exception: unwinds without a message.
class EAbort : public Exception {
public:
    using Exception::Exception;
    EAbort() : Exception("Operation aborted") {}
};
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
class EListError : public Exception {
public:
    using Exception::Exception;
};
class EStringListError : public EListError {
public:
    using EListError::EListError;
};
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EInOutError : public Exception {
public:
    using Exception::Exception;
    int ErrorCode = 0;
};
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};
class EInvalidPointer : public Exception {
public:
    using Exception::Exception;
};
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};
class EVariantError : public Exception {
public:
    using Exception::Exception;
};
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
    using EMathError::EMathError;
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
    using EMathError::EMathError;
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
    using EMathError::EMathError;
};
class EUnderflow : public EMathError {
public:
    EUnderflow() : EMathError("Floating point underflow") {}
    using EMathError::EMathError;
};

class EIntError : public Exception {
public:
    using Exception::Exception;
};
class EDivByZero : public EIntError {
public:
    EDivByZero() : EIntError("Division by zero") {}
    using EIntError::EIntError;
};
class ERangeError : public EIntError {
public:
    ERangeError() : EIntError("Range check error") {}
    using EIntError::EIntError;
};
class EIntOverflow : public EIntError {
public:
    EIntOverflow() : EIntError("Integer overflow") {}
    using EIntError::EIntError;
};

namespace fp {

// A result that is NaN or infinite raises what the trap would have raised.
template <typename T>
inline T Check(T x) {
    if (std::isnan(x)) throw EInvalidOp();
    if (std::isinf(x)) throw EOverflow();
    return x;
}

// a / b with the trap's rules: 0/0 is an invalid operation, x/0 a zero divide.
template <typename T>
inline T Div(T a, T b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw EInvalidOp();
        throw EZeroDivide();
    }
    return Check(a / b);
}

// Natural logarithm; a number not above 0 is an invalid operation.
template <typename T>
inline T Ln(T x) {
    if (!(x > 0)) throw EInvalidOp();
    return Check(std::log(x));
}

template <typename T>
inline T Pow(T base, T exponent) {
    if (base == 0 && exponent < 0) throw EZeroDivide();
    return Check(std::pow(base, exponent));
}

template <typename T>
inline T Sqrt(T x) {
    if (x < 0) throw EInvalidOp();
    return std::sqrt(x);
}

template <typename T>
inline T Exp(T x) {
    return Check(std::exp(x));
}

}  // namespace fp
