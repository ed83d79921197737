// The common base of the network components: the process-wide stack's
// lifetime, status reports and transfer progress.
#include "net/stack/IdComponent.h"

#include <mutex>

#include "net/stack/IdStack.h"

namespace {

int32_t ComponentCount = 0;
// Components come and go on the main thread; the lock only makes sure that a
// component made elsewhere cannot create a second stack.
std::mutex StackLifetimeLock;

// printf-style %s filling: each %s takes the next argument (empty when none is
// left), "%%" gives "%", arguments without a %s are ignored.
std::string FormatStatus(const std::string& format, std::initializer_list<std::string> args) {
    std::string text;
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            text += format[i];
        } else if (format[i + 1] == 's') {
            if (next != args.end()) text += *next++;
            ++i;
        } else if (format[i + 1] == '%') {
            text += '%';
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

} // namespace

TIdComponent::TIdComponent(TComponent* owner) : TIdBaseComponent(owner) {
    std::lock_guard<std::mutex> lock(StackLifetimeLock);
    if (GlobalStack == nullptr) GlobalStack = TIdStack::CreateDefaultStack();
    ++ComponentCount;
}

TIdComponent::~TIdComponent() {
    std::lock_guard<std::mutex> lock(StackLifetimeLock);
    if (--ComponentCount == 0) {
        TIdStack* const stack = GlobalStack;
        GlobalStack = nullptr;
        delete stack;
    }
}

int32_t IdComponentCount() {
    std::lock_guard<std::mutex> lock(StackLifetimeLock);
    return ComponentCount;
}

void TIdComponent::ReportStatus(TIdStatus status, std::initializer_list<std::string> args) {
    if (!OnStatus) return;
    OnStatus(this, status, FormatStatus(StatusTexts[status], args));
}

void TIdComponent::StartWork(TWorkMode mode, int32_t max) {
    TWorkRecord& work = Work[mode];
    if (++work.Level == 1) {
        work.Max = max;
        work.Current = 0;
        if (OnWorkBegin) OnWorkBegin(this, mode, max);
    }
}

void TIdComponent::AddWork(TWorkMode mode, int32_t count) {
    TWorkRecord& work = Work[mode];
    if (work.Level <= 0) return;
    // 32-bit counts wrap on transfers beyond 2 GiB instead of overflowing.
    work.Current =
        static_cast<int32_t>(static_cast<uint32_t>(work.Current) + static_cast<uint32_t>(count));
    if (OnWork) OnWork(this, mode, work.Current);
}

void TIdComponent::FinishWork(TWorkMode mode) {
    TWorkRecord& work = Work[mode];
    if (work.Level == 1 && OnWorkEnd) OnWorkEnd(this, mode);
    --work.Level;
}
