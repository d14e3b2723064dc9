#pragma once
#include "uilib/CCmdUI.h"

#include <functional>
#include <unordered_map>

// Something commands can be routed to: the active view, its document, the
// child frame, the main frame and the application, asked in that order.
// Targets register their handlers in their constructors, like a message
// map, so the router can also ask whether anybody handles a command
// without running it.
class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;

    // Runs this target's handler of `id`; false when it has none.
    virtual bool OnCmdMsg(int id);
    // Calls this target's update handler of `ui.id`; false when it has none.
    virtual bool OnUpdateCmdUI(CCmdUI& ui);
    virtual bool HasCommandHandler(int id) const;

protected:
    void onCommand(int id, std::function<void()> handler);
    void onUpdateCommand(int id, std::function<void(CCmdUI&)> handler);

private:
    std::unordered_map<int, std::function<void()>> commandHandlers;
    std::unordered_map<int, std::function<void(CCmdUI&)>> updateHandlers;
};
