// SPDX-License-Identifier: MIT
#pragma once

#include "Colours.h"

#include <functional>
#include <optional>
#include <string>

namespace nortavi::behaviour {

// The message boxes the main window shows; each front end gives each its
// own look (an icon, an object name).
enum class MessageKind {
    About,              // the credit line and version
    SaveFailed,         // config.ini could not be written
    NetworkWarning,     // the network publication could not start as set
    NightLogWarning,    // the night log could not be written and is off
    PictureSaveFailed,  // the night chart could not be saved; over its window
};

// What the main window's behaviour asks of the window that draws it: the
// few things a toolkit does. Each front end implements it and routes its
// events to frmMainBehaviour. Control ids are those of frmMainId.
class frmMainHost {
public:
    virtual ~frmMainHost() = default;

    // A label's caption, a text box's text or a button's caption.
    virtual void SetCaption(int control, const std::string& text) = 0;
    virtual void SetTextColour(int control, Colour colour) = 0;
    virtual void SetEnabled(int control, bool enabled) = 0;
    // The window's title (UTF-8).
    virtual void SetTitle(const std::string& title) = 0;

    // Modal: returns when the box has been closed, by whatever means. The
    // text is UTF-8.
    virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
    // Shows the setup dialog (drawing frmMainBehaviour::SetupForm) modally
    // over the window; returns when it has closed, by whatever means.
    virtual void ShowSetupDialog() = 0;

    virtual void StartTimer(int intervalMs) = 0;
    virtual void StopTimer() = 0;

    // Marks the window as wanting the user (the task-bar button flashes or
    // the window manager marks it urgent), or no longer, without taking the
    // keyboard from wherever the user is.
    virtual void AskForAttention(bool ask) = 0;

    // Asks every modal window open over the main one to close, as Esc or
    // its close box would. True when they are closed at once (their loops
    // return later and touch nothing of the window's), so the window may
    // close now; false when they close only once the event loop runs.
    virtual bool CloseModalWindows() = 0;
    // Asks for the window to be closed again once the event loop runs
    // (after the modal windows have returned).
    virtual void CloseLater() = 0;
    // Runs `task` once the event loop is running, after what is queued.
    virtual void RunLater(std::function<void()> task) = 0;

    // The night history window (drawing frmMainBehaviour::HistoryForm):
    // opened, or brought to the front where it is open already; drawn again
    // once the event loop runs; closed.
    virtual void ShowHistoryWindow() = 0;
    virtual void RedrawHistory() = 0;
    virtual void CloseHistoryWindow() = 0;
    // Modal, over the history window: the file to save the chart to, named
    // as the platform's file calls take it; none when the user cancelled.
    // `suggested` is a file name without a folder.
    virtual std::optional<std::string> AskPicturePath(const std::string& suggested) = 0;
    // The chart as the history window shows it, at its size and DPI, as the
    // bytes of a PNG file; empty when it could not be made.
    virtual std::string HistoryPicture() = 0;
};

}  // namespace nortavi::behaviour
