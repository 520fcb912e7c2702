// The fixed font of the data views and the debug window: its glyphs take one
// width at the desktop's size. The suite runs this a second time where the
// desktop's "monospace" is a proportional font (tests/CMakeLists.txt).
#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

#include "monitor/shell/monitor_resources.h"
#include "support/window_layout.h"

TEST(MonitorFixedFont, ItsGlyphsTakeOneWidthAtTheDesktopsSize)
{
    const QFont font = MonitorFixedFont();
    EXPECT_TRUE(HasOneGlyphWidth(font)) << QFontInfo(font).family().toStdString();
    EXPECT_EQ(font.pointSizeF(), QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSizeF());
}
