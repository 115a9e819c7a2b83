#include "frmSplash.h"

#include "AppIcon.h"
#include "MessageBox.h"
#include "Twips.h"
#include "WindowLook.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QTimer>

namespace {

constexpr int kTimerInterval = 5000;
constexpr int kCopyrightYear = 2026;
int g_timerInterval = kTimerInterval;

QLabel *label(QWidget *parent, const char *name, const QColor &colour, const QFont &font)
{
    auto *control = new QLabel(parent);
    control->setObjectName(QLatin1String(name));
    control->setFont(font);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
    return control;
}

} // namespace

frmSplash::frmSplash(Module1 &shared, QWidget *opener)
    : QDialog(opener, Qt::Dialog | Qt::FramelessWindowHint), m_shared(shared), m_opener(opener)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(MessageBox::ApplicationTitle());
    setFont(WindowLook::Font(8.25));
    WindowLook::FixSize(this, 7380, 4245);

    createControls();
    Form_Load();
}

frmSplash::~frmSplash()
{
    m_shared.AboutMode = 0;
}

void frmSplash::createControls()
{
    lblProductName = label(this, "lblProductName", Qt::white, WindowLook::Font(29.25, true));
    lblRegisteredTrademark = label(this, "lblRegisteredTrademark", QColor(0xe9, 0xc4, 0x6a),
                                   WindowLook::Font(8.25, true));
    lblRegisteredTrademark->setText(QStringLiteral("®"));
    lblQuorvel = label(this, "lblQuorvel", QColor(0xe9, 0xc4, 0x6a), WindowLook::Font(8.25, true));
    lblQuorvel->setText(QStringLiteral("Quorvel"));
    lblVersion = label(this, "lblVersion", Qt::white, WindowLook::Font(12, true));
    lblCopyright = label(this, "lblCopyright", QColor(0xd2, 0xd9, 0xe6), WindowLook::Font(8.25));
    lblCopyright->setText(CopyrightText());
    lblWarning = label(this, "lblWarning", QColor(0xb9, 0xc3, 0xd4), WindowLook::Font(8.25));
    lblWarning->setWordWrap(true);
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setFont(WindowLook::Font(8.25, true));
    cmdOk->setVisible(false);
    connect(cmdOk, &QPushButton::clicked, this, &frmSplash::cmdOkClick);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1Timer);
}

void frmSplash::Form_Load()
{
    lblVersion->setText(VersionText());
    lblProductName->setText(MessageBox::ApplicationTitle());
    lblWarning->setText(WarningText());

    WindowLook::PlaceKeepingText(lblProductName, 2400, 480, 2985, 705);
    WindowLook::PlaceKeepingText(lblQuorvel, 4440, 1500, 975, 255);
    WindowLook::PlaceKeepingText(lblVersion, 4440, 2280, 990, 270);
    WindowLook::PlaceKeepingText(lblCopyright, 4440, 2640, 2415, 255);
    WindowLook::PlaceKeepingText(lblWarning, 240, 3060, 5535, 975);
    WindowLook::PlaceKeepingText(cmdOk, 6000, 3540, 1215, 495);
    // The mark sits just beyond the name, wherever the name's font ends it.
    WindowLook::PlaceKeepingText(lblRegisteredTrademark, 5400, 960, 165, 195);
    const QRect name = lblProductName->geometry();
    const int nameRight = name.x() + lblProductName->sizeHint().width();
    if (lblRegisteredTrademark->x() < nameRight)
        lblRegisteredTrademark->move(nameRight, lblRegisteredTrademark->y());

    if (m_shared.AboutMode != 0) {
        cmdOk->setVisible(true);
        cmdOk->setDefault(true);
        cmdOk->setFocus();
    }
    // The start-up timer runs from the moment the window is first shown.
}

void frmSplash::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shared.AboutMode == 0 && !m_timerStarted) {
        m_timerStarted = true;
        Timer1->start(g_timerInterval);
    }
}

void frmSplash::CloseSplash()
{
    if (m_shared.AboutMode != 0)
        return;
    Timer1->stop();
    accept();
}

void frmSplash::Timer1Timer()
{
    Timer1->stop();
    if (isVisible())
        accept();
}

void frmSplash::cmdOkClick()
{
    accept();
}

void frmSplash::done(int result)
{
    Timer1->stop();
    // However the About box goes away, the window that opened it is usable again.
    if (m_shared.AboutMode != 0 && m_opener) {
        m_opener->show();
        m_opener->setEnabled(true);
    }
    m_shared.AboutMode = 0;
    QDialog::done(result);
}

void frmSplash::keyPressEvent(QKeyEvent *event)
{
    if (m_shared.AboutMode == 0) {
        CloseSplash();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        cmdOk->click();
        break;
    default:
        break;
    }
}

void frmSplash::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    CloseSplash();
}

void frmSplash::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();

    QLinearGradient night(area.topLeft(), area.bottomRight());
    night.setColorAt(0.0, QColor(0x12, 0x1d, 0x3a));
    night.setColorAt(0.6, QColor(0x1c, 0x1f, 0x45));
    night.setColorAt(1.0, QColor(0x2c, 0x17, 0x42));
    painter.fillRect(area, night);

    // A strip of film along the top edge.
    const qreal strip = 14;
    painter.fillRect(QRectF(0, 0, area.width(), strip), QColor(0x0a, 0x0f, 0x20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x45, 0x62));
    for (qreal x = 8; x + 8 < area.width(); x += 18)
        painter.drawRoundedRect(QRectF(x, 4, 9, 6), 1.5, 1.5);

    // The disc, with a soft light behind it.
    const QRectF disc(Twips::ToPixels(300), Twips::ToPixels(480), Twips::ToPixels(1950),
                      Twips::ToPixels(1950));
    QRadialGradient glow(disc.center(), disc.width() * 0.75);
    glow.setColorAt(0.0, QColor(120, 160, 255, 90));
    glow.setColorAt(1.0, QColor(120, 160, 255, 0));
    painter.setBrush(glow);
    painter.drawEllipse(disc.center(), disc.width() * 0.75, disc.width() * 0.75);
    AppIcon::PaintDisc(painter, disc);

    // A fine rule above the notice, and the window's edge.
    const qreal ruleY = Twips::ToPixels(2985);
    painter.setPen(QPen(QColor(255, 255, 255, 45), 1));
    painter.drawLine(QPointF(Twips::ToPixels(240), ruleY),
                     QPointF(area.width() - Twips::ToPixels(240), ruleY));
    painter.setPen(QPen(QColor(0x06, 0x09, 0x14), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
}

void frmSplash::ShowAbout(Module1 &shared, QWidget &mainWindow)
{
    shared.AboutMode = 1;
    mainWindow.setEnabled(false);
    frmSplash about(shared, &mainWindow);
    about.exec();
}

QString frmSplash::VersionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(REELVANE_VERSION_MAJOR)
        .arg(REELVANE_VERSION_MINOR)
        .arg(REELVANE_VERSION_PATCH);
}

QString frmSplash::WarningText()
{
    // The notice is made of six pieces, kept exactly as they have always been.
    return QStringLiteral(" ") + QStringLiteral("  ") + QStringLiteral(" ") + QStringLiteral(" ")
           + QStringLiteral(" ") + QString();
}

QString frmSplash::CopyrightText()
{
    return QStringLiteral("Copyright © %1 Quorvel").arg(kCopyrightYear);
}

void frmSplash::SetTimerIntervalForTesting(int milliseconds)
{
    g_timerInterval = milliseconds > 0 ? milliseconds : kTimerInterval;
}
