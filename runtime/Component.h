// The little of the platform's object and component model that the network
// layer needs: a common root, and free notification between components.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The plain notification event of the components: "something happened to me".
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TOperation { opInsert, opRemove };

// A component is told, through Notification(opRemove), when a component that
// it asked to watch with FreeNotification is destroyed. Ownership is left to
// the owner's members; Owner is only remembered.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr) : Owner(owner) {}

    ~TComponent() override {
        Destroying = true;
        const std::vector<TComponent*> watchers = FreeNotifies;
        for (TComponent* watcher : watchers) {
            watcher->RemoveWatched(this);
            watcher->Notification(this, opRemove);
        }
        for (TComponent* watched : Watching)
            watched->RemoveWatcher(this);
    }

    // Asks to be told when `component` is destroyed.
    void FreeNotification(TComponent* component) {
        if (component == nullptr || component == this) return;
        component->AddWatcher(this);
        if (std::find(Watching.begin(), Watching.end(), component) == Watching.end())
            Watching.push_back(component);
    }

    void RemoveFreeNotification(TComponent* component) {
        if (component == nullptr) return;
        component->RemoveWatcher(this);
        RemoveWatched(component);
    }

    TComponent* Owner;

protected:
    virtual void Notification(TComponent* component, TOperation operation) {
        (void)component;
        (void)operation;
    }

    bool Destroying = false;

private:
    void AddWatcher(TComponent* watcher) {
        if (std::find(FreeNotifies.begin(), FreeNotifies.end(), watcher) == FreeNotifies.end())
            FreeNotifies.push_back(watcher);
    }
    void RemoveWatcher(TComponent* watcher) { std::erase(FreeNotifies, watcher); }
    void RemoveWatched(TComponent* watched) { std::erase(Watching, watched); }

    std::vector<TComponent*> FreeNotifies; // components to tell when this one goes
    std::vector<TComponent*> Watching;     // components whose end this one waits to hear of
};
