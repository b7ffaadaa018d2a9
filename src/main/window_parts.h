#pragma once

class QFrame;
class QPushButton;
class QString;
class QVBoxLayout;
class QWidget;

// The building blocks of the main window's pages, placed as the window was designed.

// A column of widgets that fills `parent` edge to edge, without gaps between them.
QVBoxLayout* NewColumn(QWidget* parent);
// A panel without a frame.
QFrame* NewPanel(QWidget* parent);
// A panel without a frame that tests and style sheets find by `name`.
QFrame* NamedPanel(QWidget* parent, const QString& name);
// A button at a fixed place that Enter elsewhere on the page does not press.
QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width,
                       int height);
