// SPDX-License-Identifier: MIT
#pragma once

// A main window that draws nothing: it records what the behaviour asked of
// it, runs what was left for later only when told, and answers its modal
// windows with whatever the test set.

#include "frmMainHost.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nortavi {

class FakeMainHost final : public behaviour::frmMainHost {
public:
    struct Message {
        behaviour::MessageKind kind;
        std::string text;
    };

    std::map<int, std::string> captions;
    std::map<int, Colour> colours;
    std::map<int, bool> enabled;
    std::vector<std::string> titles;  // each change, in order
    std::vector<Message> messages;
    std::vector<bool> attention;  // each request, in order
    int timerInterval = 0;        // 0 while stopped
    int setupsShown = 0;
    int closeModalRequests = 0;
    int closeLaterRequests = 0;
    // The history window: how often it was shown, drawn again and closed;
    // the names offered for its picture, the path the user answers with
    // and the picture's bytes.
    int historyShown = 0;
    int historyRedraws = 0;
    int historyCloses = 0;
    std::vector<std::string> pictureNamesOffered;
    std::optional<std::string> picturePath;
    std::string picture = "PNG";
    // Whether the modal windows close at once when asked (Qt), or only once
    // the event loop runs (Win32).
    bool modalsCloseAtOnce = false;

    // Run while the setup dialog or a message box is up.
    std::function<void()> whileSetupOpen;
    std::function<void(behaviour::MessageKind)> whileMessageOpen;
    std::function<void()> whilePictureAsked;

    // Runs what was left for the event loop, in order.
    void RunPending()
    {
        while (!later_.empty()) {
            const auto task = std::move(later_.front());
            later_.pop_front();
            task();
        }
    }

    void SetCaption(int control, const std::string& text) override { captions[control] = text; }
    void SetTextColour(int control, Colour colour) override { colours[control] = colour; }
    void SetEnabled(int control, bool on) override { enabled[control] = on; }
    void SetTitle(const std::string& title) override { titles.push_back(title); }
    void ShowMessage(behaviour::MessageKind kind, const std::string& text) override
    {
        messages.push_back({kind, text});
        if (whileMessageOpen) {
            whileMessageOpen(kind);
        }
    }
    void ShowSetupDialog() override
    {
        ++setupsShown;
        if (whileSetupOpen) {
            whileSetupOpen();
        }
    }
    void StartTimer(int intervalMs) override { timerInterval = intervalMs; }
    void StopTimer() override { timerInterval = 0; }
    void AskForAttention(bool ask) override { attention.push_back(ask); }
    bool CloseModalWindows() override
    {
        ++closeModalRequests;
        return modalsCloseAtOnce;
    }
    void CloseLater() override { ++closeLaterRequests; }
    void RunLater(std::function<void()> task) override { later_.push_back(std::move(task)); }
    void ShowHistoryWindow() override { ++historyShown; }
    void RedrawHistory() override { ++historyRedraws; }
    void CloseHistoryWindow() override { ++historyCloses; }
    std::optional<std::string> AskPicturePath(const std::string& suggested) override
    {
        pictureNamesOffered.push_back(suggested);
        if (whilePictureAsked) {
            whilePictureAsked();
        }
        return picturePath;
    }
    std::string HistoryPicture() override { return picture; }

private:
    std::deque<std::function<void()>> later_;
};

}  // namespace nortavi
