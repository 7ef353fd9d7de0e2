#pragma once

#include <cstdint>
#include <string>

// The registry as the Windows API offers it: open a key, query one value into
// a caller's buffer, close the key. The routines that read values keep their
// own buffer rules on top of these calls, so tests drive them with a fake.
// Names and values are bytes in the system's ANSI code page.
namespace registry {

using Handle = std::uintptr_t;
using Status = std::int32_t; // 0 is success, anything else a system error number

constexpr Status Success = 0;
constexpr Status FileNotFound = 2;
constexpr Status MoreData = 234; // the value does not fit the buffer

enum class Root { CurrentUser, LocalMachine };

constexpr std::uint32_t QueryValueAccess = 0x0001;
constexpr std::uint32_t ReadAccess = 0x20019;

constexpr std::uint32_t TypeString = 1;
constexpr std::uint32_t TypeDword = 4;

class Calls {
public:
    virtual ~Calls() = default;

    virtual Status openKey(Root root, const std::string& subkey, std::uint32_t access,
                           Handle* key) = 0;
    // `size` holds the buffer's size on entry and the bytes stored on return.
    virtual Status queryValue(Handle key, const std::string& name, std::uint32_t* type,
                              unsigned char* data, std::uint32_t* size) = 0;
    virtual void closeKey(Handle key) = 0;
};

struct Value {
    std::uint32_t type = 0;
    std::string bytes; // as stored, up to the length the query reported
};

// Opens `subkey` with `access`, reads `name` into a buffer of `bufferSize`
// bytes and closes the key. False for a key that does not open and a value
// that is missing or does not fit.
bool readValue(Calls& calls, Root root, const std::string& subkey, const std::string& name,
               std::uint32_t access, std::uint32_t bufferSize, Value& value);

// A string value's text: the stored length counts the terminating zero when
// there is one.
std::string stringText(std::string bytes);

// This platform's registry; where there is none, every key is missing.
Calls& platform();

// The registry every reader uses: the platform's unless a test set another.
Calls& calls();
// Returns the previous one; nullptr brings the platform's back.
Calls* setCalls(Calls* replacement);

} // namespace registry
