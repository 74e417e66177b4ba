#include "loading/NodeFile.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

NodeFields tokenized(const std::string& line, int expectedCount) {
    NodeFields fields;
    EXPECT_EQ(tokenizeLine(line, fields), expectedCount) << line;
    return fields;
}

std::string lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line + "\r\n";
    }
    return text;
}

}  // namespace

TEST(TokenizeLine, SpacesSeparateAndTheSeventhFieldIsTheRest) {
    const NodeFields fields = tokenized("  1   10.5 20 100 50 3  Main  Street Depot  ", 7);
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[1], "10.5");
    EXPECT_EQ(fields[5], "3");
    EXPECT_EQ(fields[6], "Main  Street Depot  ");
    EXPECT_EQ(tokenized("1\t2 3", 2)[0], "1\t2");
}

TEST(TokenizeLine, FieldsTheLineDoesNotReachKeepTheirValues) {
    NodeFields fields;
    EXPECT_EQ(tokenizeLine("1 2 3 4 5 6 name", fields), 7);
    EXPECT_EQ(tokenizeLine("9 8   ", fields), 2);
    EXPECT_EQ(fields[0], "9");
    EXPECT_EQ(fields[1], "8");
    EXPECT_EQ(fields[2], "3");
    EXPECT_EQ(fields[6], "name");
    EXPECT_EQ(tokenizeLine("", fields), 0);
    EXPECT_EQ(fields[0], "9");
}

TEST(HasNames, SomethingAfterTheSixthField) {
    EXPECT_TRUE(hasNames("1 10.5 20 100 50 3 Main Street Depot"));
    EXPECT_TRUE(hasNames("  1  10.5  20  100  50  3  x"));
    EXPECT_FALSE(hasNames("1 10.5 20 100 50 3"));
    EXPECT_FALSE(hasNames("1 10.5 20 100 50 3    "));
    EXPECT_FALSE(hasNames("1 10.5 20"));
    EXPECT_FALSE(hasNames("1 2 3 4 5   "));
    EXPECT_FALSE(hasNames(""));
    EXPECT_FALSE(hasNames("     "));
    // A tab is part of a field, not a separator.
    EXPECT_FALSE(hasNames("1 2 3 4 5 6\tname"));
}

TEST(ConvertNodeField, ReportsTheFieldInTheMessage) {
    EXPECT_EQ(convertNodeField("10.5", '.'), 10.5);
    try {
        convertNodeField("1\t2", '.');
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'1\t2' is not a valid floating point value");
    }
}

TEST(PreReadNodeFile, CountsLinesAndKeepsTheFirst) {
    TempDir dir;
    const NodeFilePreview crlf = preReadNodeFile(dir.write("a.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1"));
    EXPECT_EQ(crlf.lineCount, 2);
    EXPECT_EQ(crlf.firstLine, "1 0 0 1 1 1");
    EXPECT_EQ(preReadNodeFile(dir.write("b.EUC", "1\r2\r3\r")).lineCount, 3);
    const NodeFilePreview lf = preReadNodeFile(dir.write("c.EUC", "1 0 0\n2 0 0\n"));
    EXPECT_EQ(lf.lineCount, 1);
    EXPECT_EQ(lf.firstLine, "1 0 0\n2 0 0\n");
    EXPECT_EQ(preReadNodeFile(dir.write("d.EUC", "")).lineCount, 0);
    EXPECT_EQ(preReadNodeFile(dir.write("e.EUC", "a\r\n\r\n\r\n\x1Ajunk\r\n")).lineCount, 3);
}

TEST(ReadNodeFile, CoordinatesFromFieldsTwoAndThree) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    readNodeFile(store, dir.write("d.EUC", "1 10.5 20 100 50 3\r\n2 -1 2e1 0 0 0 Depot\r\n"),
                 NodeFileKind::Demand, fields, '.');
    ASSERT_EQ(store.NodeCount, 2);
    EXPECT_EQ(store.NodeTable[1].XCoord, 10.5);
    EXPECT_EQ(store.NodeTable[1].YCoord, 20);
    EXPECT_EQ(store.NodeTable[2].XCoord, -1);
    EXPECT_EQ(store.NodeTable[2].YCoord, 20);
}

TEST(ReadNodeFile, BlankLineRepeatsTheNodeBeforeIt) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    readNodeFile(store, dir.write("d.EUC", "1 5 6 1 1 1\r\n\r\n3 7 8 1 1 1"), NodeFileKind::Demand,
                 fields, '.');
    ASSERT_EQ(store.NodeCount, 3);
    EXPECT_EQ(store.NodeTable[2].XCoord, 5);
    EXPECT_EQ(store.NodeTable[2].YCoord, 6);
    EXPECT_EQ(store.NodeTable[3].XCoord, 7);
}

TEST(ReadNodeFile, WordsInFieldsFourAndFiveStopOnlyADemandFile) {
    TempDir dir;
    const std::string file = dir.write("s.EUC", "1 5 6 north south 3\r\n");
    TDataStore sites;
    NodeFields fields;
    readNodeFile(sites, file, NodeFileKind::CandidateSites, fields, '.');
    EXPECT_EQ(sites.NodeCount, 1);

    TDataStore demand;
    NodeFields demandFields;
    try {
        readNodeFile(demand, file, NodeFileKind::Demand, demandFields, '.');
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'north' is not a valid floating point value");
        EXPECT_EQ(error.line(), 1);
        EXPECT_EQ(error.file(), file);
    }
    // The node was counted and placed before its fields were converted.
    EXPECT_EQ(demand.NodeCount, 1);
    EXPECT_TRUE(demand.NodeTable.holds(1));
}

// Field 6 is converted in both kinds of file, only fields 4 and 5 are a demand file's own.
TEST(ReadNodeFile, AWordInFieldSixStopsACandidateSiteFileToo) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    try {
        readNodeFile(store, dir.write("s.EUC", "1 0 0 x y z\r\n"), NodeFileKind::CandidateSites,
                     fields, '.');
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.message(), "'z' is not a valid floating point value");
        EXPECT_EQ(error.line(), 1);
    }
}

TEST(ReadNodeFile, FieldsAreConvertedInOrderTwoThreeFourFiveSix) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    try {
        readNodeFile(store, dir.write("d.EUC", "1 2 3 4 5 6\r\n1 2 y z w v\r\n"),
                     NodeFileKind::Demand, fields, '.');
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'y' is not a valid floating point value");
        EXPECT_EQ(error.line(), 2);
    }
    EXPECT_EQ(store.NodeCount, 2);
    EXPECT_EQ(store.NodeTable[2].XCoord, 2);
}

TEST(TokenizeLine, OnlyTheSpaceSeparates) {
    EXPECT_EQ(tokenized("\t1 2 3", 3)[0], "\t1");
    EXPECT_EQ(tokenized("1 \t2 3", 3)[1], "\t2");
    EXPECT_EQ(tokenized("1 2\t 3", 3)[1], "2\t");
}

// A tab inside a line, wherever it stands, is part of a field: the field it joins does not
// convert.
TEST(ReadNodeFile, ATabMakesTheFieldUnreadable) {
    const struct {
        std::string line;
        std::string field;
    } cases[] = {
        {"1 2\t3 4 5 6 7", "2\t3"},
        {"1 \t2 3 4 5 6", "\t2"},
        {"\t1 2 \t3 4 5 6", "\t3"},
        {"1 2 3 4 5\t 6", "5\t"},
    };
    for (const auto& [line, field] : cases) {
        TempDir dir;
        TDataStore store;
        NodeFields fields;
        try {
            readNodeFile(store, dir.write("d.EUC", line + "\r\n"), NodeFileKind::Demand, fields,
                         '.');
            ADD_FAILURE() << "no error for " << line;
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.message(), "'" + field + "' is not a valid floating point value");
        }
    }
}

TEST(ReadNodeFile, LocaleDecimalSeparator) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    readNodeFile(store, dir.write("d.EUC", "1 10,5 2 1 1 1\r\n"), NodeFileKind::Demand, fields,
                 ',');
    EXPECT_EQ(store.NodeTable[1].XCoord, 10.5);
}

TEST(ReadNodeFile, NineHundredAndSecondNodeIsTheRangeError) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    try {
        readNodeFile(store, dir.write("d.EUC", lines(902, "1 1 1 1 1 1")), NodeFileKind::Demand,
                     fields, '.');
        FAIL();
    } catch (const RangeError& error) {
        EXPECT_EQ(error.line(), 902);
    }
    EXPECT_EQ(store.NodeCount, 902);
    EXPECT_TRUE(store.NodeTable.holds(901));
    ResetDataStore(store);
    EXPECT_EQ(store.NodeCount, 0);
    EXPECT_FALSE(store.NodeTable.holds(901));
}

TEST(ReadNodeFile, CandidateSitesNumberOnFromTheDemandNodes) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    readNodeFile(store, dir.write("d.EUC", lines(3, "1 1 1 1 1 1")), NodeFileKind::Demand, fields,
                 '.');
    readNodeFile(store, dir.write("s.EUC", "1 9 9 x x 1\r\n2 8 8 x x 1\r\n"),
                 NodeFileKind::CandidateSites, fields, '.');
    EXPECT_EQ(store.NodeCount, 5);
    EXPECT_EQ(store.NodeTable[4].XCoord, 9);
    EXPECT_EQ(store.NodeTable[5].XCoord, 8);
}

TEST(ReadNodeFile, AFileWithoutLinesIsBadInputNamingTheFile) {
    TempDir dir;
    for (const std::string& bytes : {std::string(), std::string("\x1A 1 1 1 1 1 1\r\n")}) {
        for (const NodeFileKind kind : {NodeFileKind::Demand, NodeFileKind::CandidateSites}) {
            TDataStore store;
            NodeFields fields;
            const std::string path = dir.write("empty.EUC", bytes);
            try {
                readNodeFile(store, path, kind, fields, '.');
                FAIL() << "no error for " << bytes.size() << " bytes";
            } catch (const InOutError& error) {
                EXPECT_EQ(error.message(), "No nodes in file \"" + path + "\"");
                EXPECT_EQ(error.file(), path);
            }
            EXPECT_EQ(store.NodeCount, 0);
        }
    }
}

TEST(ReadNodeFile, DemandNodesKeepBothDemandSetsAndCandidateSitesNone) {
    TempDir dir;
    TDataStore store;
    NodeFields fields;
    // A negative demand is kept as it is; a blank line repeats the demand before it.
    readNodeFile(store, dir.write("d.EUC", "1 0 0 2.5 -4 1\r\n\r\n3 0 0 1e2 0 1 Depot\r\n"),
                 NodeFileKind::Demand, fields, '.');
    readNodeFile(store, dir.write("s.EUC", "4 9 9 7 8 1\r\n"), NodeFileKind::CandidateSites, fields,
                 '.');
    const struct {
        int node;
        double set1;
        double set2;
    } demands[] = {{1, 2.5, -4}, {2, 2.5, -4}, {3, 100, 0}};
    for (const auto& [node, set1, set2] : demands) {
        ASSERT_TRUE(store.NodeTable[node].Demand) << node;
        EXPECT_EQ(store.NodeTable[node].Demand->set1, set1) << node;
        EXPECT_EQ(store.NodeTable[node].Demand->set2, set2) << node;
    }
    EXPECT_FALSE(store.NodeTable[4].Demand);
}
