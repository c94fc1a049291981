#include "ui/mainwindow/status_panel.h"

#include <gtest/gtest.h>

namespace quobel {
namespace {

TEST(StatusPanelText, SplitsImageNumberFromText) {
    struct Case {
        const char* panel;
        int image;
        const char* text;
    };
    const Case cases[] = {
        {"2|Checking for new mail...", 2, "Checking for new mail..."},
        {"0|Connecting...", 0, "Connecting..."},
        {"Disconnected", -1, "Disconnected"},
        {"", -1, ""},
        {"x|Not a number", -1, "Not a number"},
        {"|No number", -1, "No number"},
        {"4|a|b", 4, "a|b"},  // only the first bar separates
        {"-1|Negative", -1, "Negative"},
        {"3|Tom & Jerry", 3, "Tom & Jerry"},
    };
    for (const Case& c : cases) {
        const TStatusText status = TStatusText::Parse(QString::fromUtf8(c.panel));
        EXPECT_EQ(status.Image, c.image) << c.panel;
        EXPECT_EQ(status.Text, QString::fromUtf8(c.text)) << c.panel;
    }
}

}  // namespace
}  // namespace quobel
