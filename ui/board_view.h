// The painted board: the game paints every pixel of it, and screen readers read it as a table.
#pragma once

#include "game.h"

#include <QWidget>

namespace virurad {

class BoardView : public QWidget {
    Q_OBJECT
  public:
    // Paints `game`, which must outlive the view; the view keeps no game state of its own. The
    // mouse passes through it to the window, which hands the game every press and release. It
    // takes no keyboard focus until the window lets it, while a screen reader runs.
    explicit BoardView(const Game &game, QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    const Game &m_game;
};

} // namespace virurad
