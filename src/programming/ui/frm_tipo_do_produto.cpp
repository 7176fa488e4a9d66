#include "programming/ui/frm_tipo_do_produto.h"

#include "widgets/help.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

static void InitProductPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr int kPictureWidth = 200;
constexpr int kPictureHeight = 150;

// Per tag: the product code stored and the version a new customer of the model starts with.
struct Choice {
    int productCode;
    const char* version;
};
constexpr Choice kChoices[] = {
    {0, ""}, {1, "1.4"}, {2, "1.4"}, {3, "1.2"}, {3, "1.3"}, {4, "1.0"},
};

QPixmap Grey(const QPixmap& colour) {
    QImage image = colour.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

void ProductPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

void ProductPicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

TfrmTipoDoProduto::TfrmTipoDoProduto(QWidget* parent) : QDialog(parent) {
    InitProductPictures();
    setObjectName(QStringLiteral("frmTipoDoProduto"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    SetHelpTopic(this, 22);
    setFixedSize(860, 516);

    auto* heading = new QLabel(QStringLiteral("Escolha o produto:"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    heading->setFont(bold);
    heading->setGeometry(16, 10, 400, 28);

    auto* group = new QButtonGroup(this);
    // Top row: Orvan 5 and Orvan 10; lower row: Orvan 10 Eco, Orvan 10 Max and Orvan 9.
    AddModel(rbtOrvan5, "rbtOrvan5", QStringLiteral("Orvan 5"), 2, QStringLiteral(":/products/orvan5.svg"),
             QRect(40, 40, 240, 200));
    AddModel(rbtOrvan10, "rbtOrvan10", QStringLiteral("Orvan 10"), 1,
             QStringLiteral(":/products/orvan10.svg"), QRect(310, 40, 240, 200));
    AddModel(rbtOrvanEco, "rbtOrvanEco", QStringLiteral("Orvan 10 Eco"), 3,
             QStringLiteral(":/products/orvan10eco.svg"), QRect(40, 250, 240, 200));
    AddModel(rbtOrvanMax, "rbtOrvanMax", QStringLiteral("Orvan 10 Max"), 4,
             QStringLiteral(":/products/orvan10max.svg"), QRect(310, 250, 240, 200));
    AddModel(rbtOrvan9, "rbtOrvan9", QStringLiteral("Orvan 9"), 5, QStringLiteral(":/products/orvan9.svg"),
             QRect(580, 250, 240, 200));
    for (QRadioButton* b : Buttons()) {
        group->addButton(b);
        connect(b, &QRadioButton::clicked, this, [this, b] { SelectModel(b); });
    }

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setAutoDefault(false);
    btnOK->setGeometry(860 / 2 - 110, 470, 100, 30);
    btnCancelar->setGeometry(860 / 2 + 10, 470, 100, 30);
    connect(btnOK, &QPushButton::clicked, this, &TfrmTipoDoProduto::btnOKClick);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmTipoDoProduto::AddModel(QRadioButton*& button, const char* name, const QString& caption, int tag,
                                 const QString& svg, const QRect& area) {
    const QString model = QString::fromLatin1(name).mid(3);
    button = new QRadioButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setProperty("tag", tag);
    QFont f = button->font();
    f.setBold(true);
    button->setFont(f);
    button->setGeometry(area.x() + 10, area.y(), area.width() - 20, 24);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("shp") + model);
    frame->setGeometry(area.x(), area.y() + 26, area.width(), area.height() - 26);

    const QPixmap colour = QIcon(svg).pixmap(QSize(kPictureWidth, kPictureHeight), devicePixelRatio());
    const QRect pictureArea(area.x() + (area.width() - kPictureWidth) / 2, area.y() + 26 + 12, kPictureWidth,
                            kPictureHeight);
    for (const bool isColour : {true, false}) {
        auto* picture = new ProductPicture(this);
        picture->setObjectName(QStringLiteral("img") + model +
                               (isColour ? QStringLiteral("Color") : QStringLiteral("PB")));
        picture->setPixmap(isColour ? colour : Grey(colour));
        picture->setAlignment(Qt::AlignCenter);
        picture->setGeometry(pictureArea);
        picture->setCursor(Qt::PointingHandCursor);
        const QString pictureName = picture->objectName();
        connect(picture, &ProductPicture::clicked, this, [this, pictureName] {
            if (QRadioButton* b = ButtonOfPicture(pictureName)) {
                b->setChecked(true);
                SelectModel(b);
            }
        });
        connect(picture, &ProductPicture::doubleClicked, this, [this, pictureName] {
            if (QRadioButton* b = ButtonOfPicture(pictureName)) {
                b->setChecked(true);
                SelectModel(b);
                btnOKClick();
            }
        });
    }
}

QList<QRadioButton*> TfrmTipoDoProduto::Buttons() const {
    return {rbtOrvan10, rbtOrvan5, rbtOrvanEco, rbtOrvanMax, rbtOrvan9};
}

int TfrmTipoDoProduto::Tag(const QRadioButton* button) {
    return button ? button->property("tag").toInt() : 0;
}

ProductPicture* TfrmTipoDoProduto::Picture(const QString& name) const {
    return findChild<ProductPicture*>(name, Qt::FindDirectChildrenOnly);
}

QFrame* TfrmTipoDoProduto::Frame(const QString& name) const {
    return findChild<QFrame*>(name, Qt::FindDirectChildrenOnly);
}

// A picture belongs to the button named "rbt" + its name without the prefix "img" and without
// "Color" or "PB".
QRadioButton* TfrmTipoDoProduto::ButtonOfPicture(const QString& pictureName) const {
    QString buttonName = QStringLiteral("rbt") + pictureName.mid(3);
    buttonName.remove(QStringLiteral("Color"), Qt::CaseInsensitive);
    buttonName.remove(QStringLiteral("PB"), Qt::CaseInsensitive);
    for (QRadioButton* b : Buttons()) {
        if (b->objectName().compare(buttonName, Qt::CaseInsensitive) == 0)
            return b;
    }
    return nullptr;
}

void TfrmTipoDoProduto::SelectModel(QRadioButton* button) {
    const QString model = button->objectName().mid(3);
    for (QFrame* frame : findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (!frame->objectName().startsWith(QLatin1String("shp")))
            continue;
        const bool chosen = frame->objectName().contains(model, Qt::CaseInsensitive);
        frame->setFrameShape(chosen ? QFrame::Box : QFrame::NoFrame);
        frame->setLineWidth(2);
        frame->setStyleSheet(
            chosen ? QStringLiteral("QFrame { border: 2px solid #1f4e96; border-radius: 6px; }") : QString());
    }
    for (ProductPicture* picture : findChildren<ProductPicture*>(Qt::FindDirectChildrenOnly)) {
        const QString name = picture->objectName();
        const bool ofChosen = ButtonOfPicture(name) == button;
        const bool isColour = name.contains(QLatin1String("Color"), Qt::CaseInsensitive);
        picture->setVisible(ofChosen == isColour);
    }
    const int tag = Tag(button);
    if (tag >= 1 && tag <= 5)
        m_choice.version = QString::fromLatin1(kChoices[tag].version);
}

void TfrmTipoDoProduto::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget())
        move(parentWidget()->window()->geometry().center() - rect().center());
    rbtOrvan5->setChecked(true);
    SelectModel(rbtOrvan5);
}

void TfrmTipoDoProduto::btnOKClick() {
    QRadioButton* chosen = nullptr;
    for (QRadioButton* b : Buttons()) {
        if (b->isChecked())
            chosen = b;
    }
    if (!chosen)
        return;
    const int tag = Tag(chosen);
    m_choice.productCode = kChoices[tag].productCode;
    m_choice.orvan9 = tag == 5;
    accept();
}
