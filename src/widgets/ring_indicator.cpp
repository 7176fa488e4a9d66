#include "widgets/ring_indicator.h"

#include "base/clock.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSaveFile>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

#include <cmath>

namespace {

constexpr int SampleRate = 8000;

void PutLe32(QByteArray& bytes, quint32 value) {
    char buf[4];
    qToLittleEndian(value, buf);
    bytes.append(buf, 4);
}

void PutLe16(QByteArray& bytes, quint16 value) {
    char buf[2];
    qToLittleEndian(value, buf);
    bytes.append(buf, 2);
}

} // namespace

RingIndicator::RingIndicator(QLabel* label, const QString& soundFolder, QObject* parent)
    : QObject(parent), lblRing(label), m_soundFile(QDir(soundFolder).filePath(QStringLiteral("ring.wav"))) {
    lblRing->setText(QStringLiteral("Ring"));
    lblRing->hide();
    tmrRing.setSingleShot(true);
    tmrRing.setInterval(Clock::instance().realInterval(QuietMs));
    tmrBlinkRing.setInterval(Clock::instance().realInterval(BlinkMs));
    connect(&tmrRing, &QTimer::timeout, this, &RingIndicator::quiet);
    connect(&tmrBlinkRing, &QTimer::timeout, this, &RingIndicator::blink);
}

bool RingIndicator::Showing() const {
    return !lblRing->isHidden();
}

void RingIndicator::Ring() {
    tmrRing.stop();
    if (!QFileInfo::exists(m_soundFile))
        WriteRingSound(m_soundFile);
    if (!m_sound) {
        m_sound = new QSoundEffect(this);
        m_sound->setSource(QUrl::fromLocalFile(m_soundFile));
    }
    m_sound->play();
    lblRing->show();
    if (!tmrBlinkRing.isActive())
        tmrBlinkRing.start();
    tmrRing.start();
}

void RingIndicator::blink() {
    m_red = !m_red;
    lblRing->setStyleSheet(m_red ? QStringLiteral("color: red;") : QStringLiteral("color: black;"));
}

void RingIndicator::quiet() {
    if (m_keep && m_keep())
        return;
    lblRing->hide();
    tmrBlinkRing.stop();
    tmrRing.stop();
}

bool RingIndicator::WriteRingSound(const QString& path) {
    // Two bursts of 0.4 s of 440 Hz and 480 Hz together, 0.2 s apart: a telephone's ring.
    QByteArray samples;
    const double pi = std::acos(-1.0);
    for (int burst = 0; burst < 2; ++burst) {
        for (int i = 0; i < SampleRate * 4 / 10; ++i) {
            const double t = double(i) / SampleRate;
            const double envelope = std::min(1.0, std::min(i, SampleRate * 4 / 10 - i) / 200.0);
            const double v = 0.35 * envelope * (std::sin(2 * pi * 440 * t) + std::sin(2 * pi * 480 * t));
            PutLe16(samples, quint16(qint16(v * 32767 / 2)));
        }
        if (burst == 0)
            samples.append(QByteArray(SampleRate * 2 / 10 * 2, '\0'));
    }
    QByteArray wav("RIFF");
    PutLe32(wav, quint32(36 + samples.size()));
    wav += "WAVEfmt ";
    PutLe32(wav, 16);
    PutLe16(wav, 1); // PCM
    PutLe16(wav, 1); // mono
    PutLe32(wav, SampleRate);
    PutLe32(wav, SampleRate * 2);
    PutLe16(wav, 2);
    PutLe16(wav, 16);
    wav += "data";
    PutLe32(wav, quint32(samples.size()));
    wav += samples;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size() && file.commit();
}
