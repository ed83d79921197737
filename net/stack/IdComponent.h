// The common base of the network components: keeps the one process-wide socket
// stack alive while any component lives, reports status changes, and reports
// the progress of long transfers.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "net/stack/IdStatus.h"
#include "runtime/Component.h"

enum TWorkMode { wkRead, wkWrite };

using TWorkBeginEvent =
    std::function<void(TObject* Sender, TWorkMode AWorkMode, int32_t AWorkCountMax)>;
using TWorkEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, int32_t AWorkCount)>;
using TWorkEndEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode)>;

class TIdBaseComponent : public TComponent {
public:
    using TComponent::TComponent;
};

class TIdComponent : public TIdBaseComponent {
public:
    // Creates GlobalStack when it is empty; its failure propagates.
    explicit TIdComponent(TComponent* owner = nullptr);
    // Frees GlobalStack with the last component.
    ~TIdComponent() override;

    // Formats StatusTexts[status] with the arguments (each %s takes the next
    // one) and calls OnStatus; does nothing when OnStatus is not set.
    void ReportStatus(TIdStatus status, std::initializer_list<std::string> args = {});

    virtual void StartWork(TWorkMode mode, int32_t max);
    virtual void AddWork(TWorkMode mode, int32_t count);
    virtual void FinishWork(TWorkMode mode);

    TIdStatusEvent OnStatus;
    TWorkEvent OnWork;
    TWorkBeginEvent OnWorkBegin;
    TWorkEndEvent OnWorkEnd;

private:
    struct TWorkRecord {
        int32_t Current = 0;
        int32_t Max = 0;
        int32_t Level = 0;
    };
    TWorkRecord Work[2];
};

// Number of live TIdComponent objects.
int32_t IdComponentCount();
