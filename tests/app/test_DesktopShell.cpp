// The desktop's side of the shell: message boxes over the window they belong
// to, and the toolkit's own texts in Chinese.
#include "DesktopShell.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

// Every entry of a text box's context menu, "撤销(&U)" and the like.
QStringList contextMenuTexts(QWidget* box) {
  std::unique_ptr<QMenu> menu;
  if (auto* line = qobject_cast<QLineEdit*>(box)) menu.reset(line->createStandardContextMenu());
  if (auto* text = qobject_cast<QPlainTextEdit*>(box))
    menu.reset(text->createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text();
  return texts;
}

TEST(ChineseToolkitTexts, MessageBoxesAndContextMenusReadChinese) {
  ASSERT_TRUE(ModAPI::InstallChineseToolkitTexts()) << "Qt's zh_CN translations are missing";
  const auto box = ModAPI::MakeMessageBox("标题", "正文");
  EXPECT_EQ(box->button(QMessageBox::Ok)->text(), "确定");
  QLineEdit line;
  line.setText("YT100");
  QPlainTextEdit text;
  text.setPlainText("已签收");
  const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
  for (QWidget* textBox : std::initializer_list<QWidget*>{&line, &text}) {
    const QStringList texts = contextMenuTexts(textBox);
    EXPECT_GE(texts.size(), 5);
    EXPECT_TRUE(texts.join('|').contains("复制")) << texts.join('|').toStdString();
    for (const QString& entry : texts) EXPECT_TRUE(entry.contains(chinese)) << entry.toStdString();
  }
}

TEST(MessageBoxes, BelongToTheActiveWindowAndAreCentredOnIt) {
  EXPECT_EQ(ModAPI::MessageBoxOwner(), nullptr) << "no window shown yet";
  QWidget window;
  window.setGeometry(150, 120, 600, 500);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ASSERT_EQ(ModAPI::MessageBoxOwner(), &window);
  const auto box = ModAPI::MakeMessageBox("标题", "正文", ModAPI::MessageBoxOwner());
  box->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
  const QPoint offset = box->frameGeometry().center() - window.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << ", " << offset.y();
}

}  // namespace
