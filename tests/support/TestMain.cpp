#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // The windows go before the application does: a web view outliving it takes the process down.
  QList<QPointer<QWidget>> windows;
  for (QWidget* w : QApplication::topLevelWidgets()) windows << w;
  for (const QPointer<QWidget>& w : windows) delete w.data();
  return result;
}
