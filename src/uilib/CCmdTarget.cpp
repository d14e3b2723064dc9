#include "uilib/CCmdTarget.h"

bool CCmdTarget::OnCmdMsg(int id)
{
    const auto it = commandHandlers.find(id);
    if (it == commandHandlers.end())
        return false;
    // A handler may close the window that owns this target; a copy keeps
    // the callable alive until it returns.
    const auto handler = it->second;
    handler();
    return true;
}

bool CCmdTarget::OnUpdateCmdUI(CCmdUI& ui)
{
    const auto it = updateHandlers.find(ui.id);
    if (it == updateHandlers.end())
        return false;
    it->second(ui);
    return true;
}

bool CCmdTarget::HasCommandHandler(int id) const
{
    return commandHandlers.count(id) != 0;
}

void CCmdTarget::onCommand(int id, std::function<void()> handler)
{
    commandHandlers[id] = std::move(handler);
}

void CCmdTarget::onUpdateCommand(int id, std::function<void(CCmdUI&)> handler)
{
    updateHandlers[id] = std::move(handler);
}
