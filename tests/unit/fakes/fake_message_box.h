#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "tests/unit/fakes/call_log.h"

namespace dovrel::testing {

struct ShownMessage {
    std::wstring prompt;
    int style;
    std::optional<std::wstring> title;

    bool operator==(const ShownMessage& o) const {
        return prompt == o.prompt && style == o.style && title == o.title;
    }
};

inline void PrintTo(const ShownMessage& m, std::ostream* out) {
    *out << "{" << ::testing::PrintToString(m.prompt) << ", style " << m.style << ", title "
         << (m.title ? ::testing::PrintToString(*m.title) : std::string("(none)")) << "}";
}

class FakeMessageBox : public IMessageBox {
public:
    explicit FakeMessageBox(CallLog& log) : log_(log) {}

    void Show(const std::wstring& prompt, int style,
              const std::optional<std::wstring>& title) override {
        shown.push_back({prompt, style, title});
        log_.Add(L"msgbox " + prompt);
        if (onShow)
            onShow(shown.back());
    }

    std::vector<ShownMessage> shown;
    // Runs while the box is "open": lets a test change the world meanwhile.
    std::function<void(const ShownMessage&)> onShow;

private:
    CallLog& log_;
};

inline void ExpectOnlyMessage(const FakeMessageBox& box, const ShownMessage& message) {
    EXPECT_EQ(box.shown, std::vector<ShownMessage>{message});
}

} // namespace dovrel::testing
