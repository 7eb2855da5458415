#pragma once

#include <type_traits>

namespace reelbond {

// The widget that set up a link to another (a directory list linked to its file list) and
// must hear when that one goes, since the link would point at nothing.
class WidgetLinkSource {
public:
    // The linked widget is going away: drop the link to it.
    virtual void ForgetLinkedWidget() noexcept = 0;

protected:
    ~WidgetLinkSource() = default;
};

// Links two widgets from one side: points link at target and target back at self through
// target's public setter, after unlinking the previous target.
template <typename Target, typename Self>
void LinkBothWays(Target*& link, Target* target, void (Target::*setBackLink)(Self*),
                  std::type_identity_t<Self>* self) {
    if (target == link)
        return;
    if (link)
        (link->*setBackLink)(nullptr);
    link = target;
    if (link)
        (link->*setBackLink)(self);
}

} // namespace reelbond
