// The processor type and the other hardware facts.
#include "detect_fixture.h"

#include "msdetect.h"
#include "setuprt.h"

TEST(ProcessorNames, NamesGiveTheirNumbersInAnyCase)
{
    // Intel by generation, the others by model.
    EXPECT_EQ(0, ProcessorTypeFromName("8086"));
    EXPECT_EQ(4, ProcessorTypeFromName("80486"));
    EXPECT_EQ(5, ProcessorTypeFromName("Pentium"));
    EXPECT_EQ(21064, ProcessorTypeFromName("axp21064"));
    EXPECT_EQ(21164, ProcessorTypeFromName("AXP21164"));
    EXPECT_EQ(620, ProcessorTypeFromName("ppc620"));
    EXPECT_EQ(4000, ProcessorTypeFromName("r4000"));
    EXPECT_EQ(400, ProcessorTypeFromName("c400"));
}

TEST(ProcessorNames, UnknownNamesMatchNoListedProcessor)
{
    for (const char *name : {"", "PENTIUM II", "PENTIU", "8088", "80586", "AXP2106", "x86", " 80486"}) {
        EXPECT_EQ(PROCESSOR_UNKNOWN, ProcessorTypeFromName(name)) << name;
    }
    EXPECT_EQ(PROCESSOR_UNKNOWN, ProcessorTypeFromName(NULL));
}

TEST(ProcessorType, ThisProcessorIsNamedAndNumbered)
{
    char name[32];
    ASSERT_TRUE(FGetProcessorType("", 0, name, sizeof name));
    int type = GetProcessorType();
    EXPECT_EQ(ProcessorTypeFromName(name), type) << name;
    EXPECT_NE(PROCESSOR_UNKNOWN, type) << name;

    SYSTEM_INFO info;
    GetSystemInfo(&info);
    // A program for the x86 runs on an x86 as far as it can see; every
    // such processor of the last decades is a Pentium or later.
    if (info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL && info.wProcessorLevel >= 5) {
        EXPECT_STREQ("PENTIUM", name);
        EXPECT_EQ(5, type);
    }
}

TEST(ProcessorType, NameThatDoesNotFitIsAFailure)
{
    dettest::GuardedBuffer small(4);
    EXPECT_FALSE(FGetProcessorType("", 0, small.Get(), small.Size()));
    EXPECT_TRUE(small.CanaryIntact());
    EXPECT_EQ('\0', small.Get()[3]);
    EXPECT_FALSE(FGetProcessorType("", 0, NULL, 0));
}

TEST(Hardware, ThisMachineHasAMathUnitColourAndAMouse)
{
    // Every x86 since the 80486DX carries its floating-point unit, and the
    // virtual display has more than two colours.
    EXPECT_TRUE(Has87MathChip());
    EXPECT_EQ(Has87MathChip(), HasFPPMathChip());
    EXPECT_FALSE(HasMonochromeDisplay());
    EXPECT_TRUE(HasMouseInstalled());
}

TEST(Hardware, QuestionsWithoutAnAnswerGiveZero)
{
    EXPECT_EQ(0, GetDOSMajorVersion());
    EXPECT_EQ(0, GetDOSMinorVersion());
    EXPECT_EQ(0, GetNumWinApps());
}
