// Start-up of bqTest.exe: the window, its model over the Telnet client, the
// GUI thread's message loop, and the exception display for what escapes.
#include <windows.h>

#include <memory>

#include "net/telnet/IdTelnet.h"
#include "window/WindowModel.h"
#include "winview/Win32Form.h"

namespace {

// The model's handler for each event of the window.
void Wire(TWin32Form& form, TWindowModel& model, TIdTelnet& client) {
    form.Events.Click = [&model](TControl button) {
        switch (button) {
        case TControl::Button1:
            model.Button1Click();
            break;
        case TControl::Button2:
            model.Button2Click();
            break;
        case TControl::Button3:
            model.Button3Click();
            break;
        default:
            model.Button4Click();
            break;
        }
    };
    form.Events.Enter = [&model](TControl field) {
        if (field == TControl::Edit4) model.Edit4Enter();
        if (field == TControl::Edit5) model.Edit5Enter();
        if (field == TControl::Edit6) model.Edit6Enter();
    };
    form.Events.Exit = [&model](TControl field) {
        if (field == TControl::Edit4) model.Edit4Exit();
        if (field == TControl::Edit5) model.Edit5Exit();
        if (field == TControl::Edit6) model.Edit6Exit();
    };
    form.Events.LogKeyUp = [&model] { model.Memo1KeyUp(); };
    form.Events.Status = [&model](const std::string& text) { model.IdTelnet1Status(text); };
    form.Events.Destroy = [&model] { model.FormDestroy(); };
    // Status texts come on the thread that raised them: the reader's are handed over.
    client.SetOnStatus(
        [&form](TObject*, TIdStatus, const std::string& text) { form.HandOverStatus(text); });
    // Unguarded: what the handler raises goes back to the reader.
    client.SetOnDataAvailable(
        [&model](const std::string& chunk) { model.IdTelnet1DataAvailable(chunk); });
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    auto form = std::make_unique<TWin32Form>();
    form->Guarded([&form, show] {
        form->ServeSynchronizedCalls();
        auto client = std::make_unique<TIdTelnet>();
        auto model = std::make_unique<TWindowModel>(*form, *client);
        Wire(*form, *model, *client);
        ShowWindow(form->Handle(), show);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (IsDialogMessageW(form->Handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // The client goes first: a chunk its reader handed over before the
        // window closed still reaches the model, whose view is gone by then.
        client.reset();
    });
    return 0;
}
