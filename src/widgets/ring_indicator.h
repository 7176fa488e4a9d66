#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;
class QSoundEffect;

// The main window's ring indication: a RING heard while the port is open and idle plays
// `ring.wav` from the program's data folder (without waiting for it) and blinks `lblRing` between
// black and red every 500 ms (`tmrBlinkRing`) until 5 s after the last ring (`tmrRing`), unless the
// program is waiting for panels to call ("Aguarda Buffer" pressed).
class RingIndicator : public QObject {
    Q_OBJECT
public:
    static constexpr int BlinkMs = 500;
    static constexpr int QuietMs = 5000;

    // `label`: `lblRing`, hidden until a ring; `soundFolder`: where ring.wav is (made there when
    // missing).
    RingIndicator(QLabel* label, const QString& soundFolder, QObject* parent = nullptr);

    // While this answers true the indication stays up after the rings stop.
    void SetKeepShowing(std::function<bool()> keep) { m_keep = std::move(keep); }

    void Ring();
    bool Showing() const;
    QString SoundFile() const { return m_soundFile; }

    // Writes our ring sound (two tones, two short bursts, 8 kHz 16-bit mono WAV); false when the file
    // cannot be written.
    static bool WriteRingSound(const QString& path);

private:
    void blink();
    void quiet();

    QLabel* lblRing;
    QString m_soundFile;
    QSoundEffect* m_sound = nullptr;
    QTimer tmrRing;
    QTimer tmrBlinkRing;
    bool m_red = false;
    std::function<bool()> m_keep;
};
