// The COM apartment of the window thread.
#include "Com.h"

#include <objbase.h>

namespace forms {

namespace {

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Also usable when the thread had COM already, in the other threading model.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace

bool EnsureCom() {
    thread_local ComApartment apartment;
    return apartment.Usable();
}

}  // namespace forms
