#include <gtest/gtest.h>

#include <algorithm>

#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "platform/FloatingPoint.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "windows/TransactionDisplayOrder.h"
#include "windows/TransactionSheet.h"

namespace {

TField& addField(TFieldTable& fields, int kind, const std::string& header, const std::string& symbol,
                 const std::string& content = "") {
  fields.insertField(fields.count());
  TField& field = *fields.items(fields.count() - 1);
  field.Kind = static_cast<std::uint8_t>(kind);
  field.setHeader(header);
  field.setSymbol(symbol);
  field.Content = content;
  return field;
}

// The first sample portfolio, current in a table, with a field table of
// bound, formula, hidden and disabled fields.
class TransactionSheetOfSample : public testing::Test {
 protected:
  void SetUp() override {
    setExtendedPrecision();
    ASSERT_EQ(table.open(sample.folios + "1\\", false, {}, nullptr, true, false), 0);
    table.setCurrentIndex(0);
    portfolio = table.current();
    sheet.portfolioTable = &table;
    addField(fields, 20, "Number", "N");
    addField(fields, 2, "Note", "NOTE").Hidden = true;
    addField(fields, 24, "Value", "V");
    addField(fields, 1, "Value plus one", "P", "V+1").Locked = true;
    addField(fields, 1, "Unused", "X").Disabled = true;
    order.loadFromTransactions(*portfolio);
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
  TSheet sheet;
  TFieldTable fields;
  TTransactionDisplayOrder order;
};

}  // namespace

TEST_F(TransactionSheetOfSample, LinesBindTheirTransactionsAndFormulasReadTheirLine) {
  const std::vector<int32_t>& numbers = portfolio->TransactionNumbers();
  const int32_t first = *std::min_element(numbers.begin(), numbers.end());
  portfolio->findTransaction(first)->setCustomProperty("NOTE", "plain note");
  TTransactionSheet builder(sheet, fields);
  ASSERT_EQ(builder.build(portfolio, nullptr, true, true, order, true), 3);
  ASSERT_EQ(static_cast<int>(builder.linePositions().size()), static_cast<int>(numbers.size()));
  EXPECT_EQ(sheet.getCellText(1, 1, false), "Number");
  EXPECT_EQ(sheet.getCellText(2, 1, false), "Value");
  EXPECT_EQ(sheet.getCellText(3, 1, false), "Value plus one");
  EXPECT_EQ(sheet.getCellText(4, 1, false), "Note");  // hidden, beyond the shown fields
  // Without stored orders the lines come in number order.
  EXPECT_EQ(builder.transactionOnLine(2), first);
  // A bound cell reads as its transaction's number in formulas.
  EXPECT_EQ(sheet.getCellNumber(3, 2), first + 1);
  EXPECT_EQ(sheet.getCellText(4, 2, false), "plain note");
  EXPECT_EQ(builder.transactionOnLine(1), -1);
}

TEST_F(TransactionSheetOfSample, ColumnWiseLinesAndOneAssetsView) {
  TTransactionSheet builder(sheet, fields);
  TAsset* asset = portfolio->assets(0);
  ASSERT_EQ(builder.build(portfolio, asset, false, false, order, false), 3);
  EXPECT_EQ(sheet.getCellText(1, 3, false), "Value plus one");
  EXPECT_EQ(static_cast<int>(builder.linePositions().size()), asset->transactionCount());
  const int32_t shown = builder.transactionOnLine(2);
  EXPECT_EQ(portfolio->findTransactionAsset(shown), asset);
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(2, 3), sheet.getCellNumber(2, 2) + 1);
  // Without a view, only the header.
  ASSERT_EQ(builder.build(portfolio, nullptr, false, true, order, true), 3);
  EXPECT_TRUE(builder.linePositions().empty());
}
