#pragma once

#include <QDialog>
#include <QLabel>

class LinkState;
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

// The product type choice: five models, each a radio button (its tag identifies it) above its
// framed picture; the chosen one is framed and in colour, the others unframed and grey. The choice
// goes into the link state: StoredVersion as soon as a button is selected, ConnectedProduct and
// Orvan9Max on "OK". Orvan 5 is preselected every time it shows.
class TfrmTipoDoProduto : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTipoDoProduto(LinkState& link, QWidget* parent = nullptr);

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

    // The selection step of a button.
    void SelectModel(QRadioButton* button);
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddModel(QRadioButton*& button, const char* name, const QString& caption, int tag,
                  const QString& svg, const QRect& area);
    QRadioButton* ButtonOfPicture(const QString& pictureName) const;

    LinkState& m_link;
};
