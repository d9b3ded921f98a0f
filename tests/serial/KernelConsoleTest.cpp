#include "serial/KernelConsole.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "FakeConsoles.h"
#include "PtyPair.h"

namespace {

class KernelConsoleTest : public ::testing::Test {
protected:
    // from -> via -> to: the chain a user gets by linking COM7 to a link of their own.
    std::string ChainOfTwoLinks(const std::string& name, const std::string& to) const {
        const std::string via = fake.Scratch(name + "-via");
        const std::string from = fake.Scratch(name);
        EXPECT_EQ(0, symlink(to.c_str(), via.c_str()));
        EXPECT_EQ(0, symlink((name + "-via").c_str(), from.c_str()));  // relative, as ln -s
        return from;
    }
    std::string PlainFile(const std::string& name) const {
        const std::string path = fake.Scratch(name);
        std::ofstream(path) << "";
        return path;
    }

    FakeConsoles fake;
    PtyPair console, other;
};

TEST_F(KernelConsoleTest, AConsoleFromProcIsFoundByItsNumberThroughEveryLink) {
    ASSERT_TRUE(console.ok() && other.ok());
    fake.SetProcConsoles(
        "netcon0              -W- (E     )\nttyS0                -W- (EC  p a)    " +
        FakeConsoles::NumberOf(console.slavePath()) + "\n");
    EXPECT_TRUE(IsKernelConsole(ChainOfTwoLinks("COM7", console.slavePath()), fake.roots));
    EXPECT_TRUE(IsKernelConsole(console.slavePath(), fake.roots));
    EXPECT_FALSE(IsKernelConsole(ChainOfTwoLinks("COM8", other.slavePath()), fake.roots));
    EXPECT_FALSE(IsKernelConsole(other.slavePath(), fake.roots));
}

TEST_F(KernelConsoleTest, SysfsConsolesIncludeTheForegroundTerminalForTty0) {
    PtyPair notConsole;
    ASSERT_TRUE(console.ok() && other.ok() && notConsole.ok());
    fake.SetActive("tty0 ttyS0\n");
    fake.SetSysfsNumber("ttyS0", FakeConsoles::NumberOf(console.slavePath()));
    fake.Write("sys/class/tty/tty0/active", "tty3\n");
    fake.SetSysfsNumber("tty3", FakeConsoles::NumberOf(other.slavePath()));
    const KernelConsoles consoles = KernelConsoles::Read(fake.roots);
    EXPECT_TRUE(consoles.Contains(ChainOfTwoLinks("COM1", console.slavePath())));
    EXPECT_TRUE(consoles.Contains(other.slavePath()));
    EXPECT_FALSE(consoles.Contains(notConsole.slavePath()));
}

TEST_F(KernelConsoleTest, NamesCountOnlyWhereNoNumberIsKnown) {
    ASSERT_TRUE(console.ok());
    fake.SetActive("ttyS0 ttyUSB0\n");  // sysfs gives ttyS0 no number here
    fake.SetSysfsNumber("ttyUSB0", FakeConsoles::NumberOf(console.slavePath()));
    EXPECT_TRUE(IsKernelConsole(ChainOfTwoLinks("COM1", PlainFile("ttyS0")), fake.roots));
    EXPECT_TRUE(IsKernelConsole(fake.Scratch("ttyUSB0"), fake.roots));  // a node not there
    EXPECT_FALSE(IsKernelConsole(PlainFile("ttyS1"), fake.roots));
    EXPECT_TRUE(IsKernelConsole(console.slavePath(), fake.roots));
}

TEST_F(KernelConsoleTest, MissingOrGarbledFilesKnowOnlyTheFixedConsoles) {
    ASSERT_TRUE(console.ok());
    EXPECT_FALSE(IsKernelConsole(console.slavePath(), fake.roots));
    EXPECT_TRUE(IsKernelConsole(PlainFile("console"), fake.roots));
    EXPECT_TRUE(IsKernelConsole(PlainFile("tty0"), fake.roots));

    fake.SetActive("../.. / ttyS0\n");
    fake.SetSysfsNumber("ttyS0", "4:x");
    fake.Write("proc/consoles/is-a-folder", "");
    EXPECT_FALSE(IsKernelConsole(console.slavePath(), fake.roots));
    EXPECT_FALSE(IsKernelConsole("", fake.roots));

    // A loop of links ends, as the kernel ends it, instead of hanging.
    const std::string a = fake.Scratch("loop-a"), b = fake.Scratch("loop-b");
    ASSERT_EQ(0, symlink(b.c_str(), a.c_str()));
    ASSERT_EQ(0, symlink(a.c_str(), b.c_str()));
    EXPECT_FALSE(IsKernelConsole(a, fake.roots));
}

}  // namespace
