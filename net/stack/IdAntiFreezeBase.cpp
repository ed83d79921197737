// The inert anti-freeze base and its processing turn.
#include "net/stack/IdAntiFreezeBase.h"

#include "net/stack/IdException.h"
#include "runtime/Synchronize.h"

std::atomic<TIdAntiFreezeBase*> ActiveAntiFreeze{nullptr};

TIdAntiFreezeBase::TIdAntiFreezeBase(TComponent* owner) : TIdBaseComponent(owner) {
    TIdAntiFreezeBase* none = nullptr;
    if (!ActiveAntiFreeze.compare_exchange_strong(none, this)) throw EIdMoreThanOneTIdAntiFreeze();
}

TIdAntiFreezeBase::~TIdAntiFreezeBase() {
    TIdAntiFreezeBase* self = this;
    ActiveAntiFreeze.compare_exchange_strong(self, nullptr);
}

void TIdAntiFreezeBase::DoProcess(bool idle, bool force) {
    TIdAntiFreezeBase* const antiFreeze = ActiveAntiFreeze.load();
    if (antiFreeze == nullptr || !IsMainThread()) return;
    if ((idle || !antiFreeze->OnlyWhenIdle || force) && antiFreeze->Active) antiFreeze->Process();
}
