#pragma once

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;

// `TfrmAbout`, "&Sobre o Telvora ...": a borderless white window that stays on top, centred on the
// main window, with the product name, its version and the maker's details. The whole window can be
// dragged with the left mouse button.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* lblProduto;
    QLabel* lblVersao;
    QPushButton* btnFechar;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint m_grab; // where the pointer took the window, relative to its corner
    bool m_dragging = false;
};
