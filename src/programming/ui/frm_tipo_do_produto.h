#pragma once

#include <QDialog>
#include <QLabel>

class QFrame;
class QRadioButton;

// A picture of the product chooser: a click selects its model, a double click selects it and
// confirms the dialog.
class ProductPicture : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// What the product type choice chose: the model's product code (1..4, 0 while nothing was
// confirmed), its stored version, and whether it is the Orvan 9.
struct ProductChoice {
    int productCode = 0;
    QString version;
    bool orvan9 = false;
};

// The product type choice: five models, each a radio button (its tag identifies it) above its
// framed picture; the chosen one is framed and in colour, the others unframed and grey. Orvan 5 is
// preselected every time it shows. The dialog only answers the choice; the caller applies it (the
// version of the model last selected, confirmed or not, and on "OK" the product).
class TfrmTipoDoProduto : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTipoDoProduto(QWidget* parent = nullptr);

    // The model selected now: its version always, its product code once "OK" confirmed it.
    ProductChoice Choice() const { return m_choice; }

    QRadioButton* rbtOrvan10;
    QRadioButton* rbtOrvan5;
    QRadioButton* rbtOrvanEco;
    QRadioButton* rbtOrvanMax;
    QRadioButton* rbtOrvan9;
    QPushButton* btnOK;
    QPushButton* btnCancelar;

    // The tag of a button (1 Orvan 10, 2 Orvan 5, 3 Orvan 10 Eco, 4 Orvan 10 Max, 5 Orvan 9).
    static int Tag(const QRadioButton* button);
    QList<QRadioButton*> Buttons() const;
    // Pictures by object name ("imgOrvan10Color", "imgOrvan10PB", ...).
    ProductPicture* Picture(const QString& name) const;
    QFrame* Frame(const QString& name) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The selection step of a button.
    void SelectModel(QRadioButton* button);
    void btnOKClick();
    void AddModel(QRadioButton*& button, const char* name, const QString& caption, int tag,
                  const QString& svg, const QRect& area);
    QRadioButton* ButtonOfPicture(const QString& pictureName) const;

    ProductChoice m_choice;
};
