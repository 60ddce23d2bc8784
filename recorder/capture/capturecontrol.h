#pragma once

#include "recorder/capture/wavformat.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::recorder {

class PulseCapture;
struct SourceEntry;

// The recording control of the recorder: the sound server's sources as devices, a live level
// meter, recording into WAV files (appending to one of the same format), playback of a WAV file.
// Every member is called on the interface thread and every event is raised there; the sound
// work runs on a thread of its own and never blocks the caller for longer than a connection
// attempt (a few seconds at most, for a server that does not answer). Errors are raised through
// ErrorOccurred before the failing call returns.
class CaptureControl : public QObject {
    Q_OBJECT
public:
    // Values of StateChanged.
    enum State {
        Closed = 0,       // the devices were released
        PlayEnded = 1,    // playback ended (by itself or by StopPlaying)
        Recording = 2,    // a recording started
        Monitoring = 3,   // the meter runs and nothing is recorded (also after a recording ended)
        Playing = 4,      // playback started
    };
    // Numbers of ErrorOccurred.
    enum Error {
        NoServer = 1,     // the sound server cannot be reached or was lost
        NoDevice = 2,     // no such input device
        FileError = 3,    // the file cannot be opened, read or written
        OtherFormat = 4,  // appending to a file of another format
        DiskFull = 5,     // the disk filled up during a recording
        BadQuality = 6,   // a quality that is not one of the format flags
    };
    Q_ENUM(State)

    explicit CaptureControl(QObject* parent = nullptr);
    ~CaptureControl() override;

    // Devices, numbered 1..DeviceCount: every source of the sound server, the default first.
    int DeviceCount();
    QString DeviceName(int n);
    // 1 for every device (each source can record); 0 for a number out of range.
    int DeviceKind(int n);
    // Rereads the device list from the server.
    void refreshDevices();

    int InputDevice() const { return m_inputDevice; }
    void setInputDevice(int n) { m_inputDevice = n; }
    // Connects (again, after a lost server) and starts the level meter on InputDevice.
    void StartMonitoring();
    bool monitoring() const;

    float SensitivityFactor() const;
    void setSensitivityFactor(float factor);
    int quality() const { return m_quality; }
    void setQuality(int flag) { m_quality = flag; }
    bool InternalRendering() const { return m_internalRendering; }
    void setInternalRendering(bool on) { m_internalRendering = on; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& path) { m_fileName = path; }

    // Starts recording into FileName; `limitSeconds` 0 for no limit. False (after an error
    // event) when it could not start.
    bool StartRecording(double limitSeconds);
    void StopRecording();
    bool recording() const;
    // Running recording time: seconds (0..59), minutes (0..59), hours.
    std::array<float, 3> ElapsedTime() const;
    // Bytes of samples written by the running (or last) recording.
    double bytesRecorded() const;

    void Play(bool loop);
    void StopPlaying();
    bool playing() const;
    // Sets quality to the format flag of FileName (0 when it is none of the twelve).
    void ReadFileFormat();
    // Length of FileName (or of the file playing) and the playback position, in milliseconds.
    double Length() const;
    double Position() const;
    void setPosition(double milliseconds);

    // Ends playback, recording and monitoring and releases the sound server.
    void CloseDevices();

    // Peak levels of the input since the last call, 0..1, left and right (the same for mono).
    std::array<float, 2> takeLevels();
    // Blocks the server dropped because they were not read in time (0 in a healthy recording).
    std::uint64_t overflows() const;

signals:
    void Progress(double bytes);
    void ErrorOccurred(int number, const QString& description);
    void StateChanged(int state);

private:
    void raise(int number, const QString& description);
    void onTick();
    void onEngineEvent(int kind, int number, const QString& text);
    std::string sourceName() const;

    std::unique_ptr<PulseCapture> m_engine;
    int m_inputDevice = 1;
    int m_quality = 2048;
    bool m_internalRendering = true;
    QString m_fileName;
    // The device list is read once (and again by refreshDevices) and kept with the control.
    std::vector<SourceEntry> m_devices;
    bool m_devicesLoaded = false;
    QTimer m_progress;
    friend class PulseCapture;
};

} // namespace sonaveil::recorder
