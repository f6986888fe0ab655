// Logical order through the shell's own comparison, so the list sorts exactly
// as Explorer sorts the same names.
#include <windows.h>
#include <shlwapi.h>

#include <array>

#include "platform/text.h"

namespace zav2 {

namespace {

// StrCmpLogicalW wants terminated strings; most names fit on the stack.
class Terminated {
  public:
    explicit Terminated(StringView text) {
        if (text.size() < small_.size()) {
            text.copy(small_.data(), text.size());
            small_[text.size()] = L'\0';
            pointer_ = small_.data();
        } else {
            large_.assign(text);
            pointer_ = large_.c_str();
        }
    }
    const wchar_t* get() const { return pointer_; }

  private:
    std::array<wchar_t, 261> small_;
    String large_;
    const wchar_t* pointer_ = nullptr;
};

}  // namespace

int compareLogical(StringView a, StringView b) {
    if (equalsIgnoreCase(a, b))
        return 0;
    const Terminated left(a);
    const Terminated right(b);
    int result = StrCmpLogicalW(left.get(), right.get());
    // Texts that differ must not compare equal: sorting relies on equality
    // meaning "the same name", which the play list tests without regard to case.
    if (result == 0) {
        result = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()), TRUE) -
                 CSTR_EQUAL;
        if (result == 0)
            result = a.compare(b);
    }
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

}  // namespace zav2
