#include <gtest/gtest.h>

#include <QPushButton>

#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

TEST(Form1Startup, StateAfterLoad) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_TRUE(f.liveView);
    EXPECT_FALSE(f.comConnected);
    EXPECT_EQ(f.comNumber, 1);
    EXPECT_EQ(f.measureMode, 2);
    EXPECT_TRUE(f.Findcom.isActive());
    EXPECT_TRUE(f.COMtimout.isActive());
    EXPECT_TRUE(f.comunication.isActive());
    EXPECT_FALSE(f.Readdat.isActive());
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(f.Command2->isEnabled());
}

}  // namespace
}  // namespace kelvora::testing
