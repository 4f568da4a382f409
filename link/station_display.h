#pragma once
#include <QString>

#include <cstdint>

namespace stationlink {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kLcdOffline{118, 118, 118};
constexpr Rgb kLcdOnline{0, 255, 0};

enum class ToolsMenu { Connect, Disconnect, Defaults, Options };

// What the window says about the heaters beyond the station's own display.
enum class SafetyNotice {
    None,
    SteppingDown,        // the safety rule is stepping the heaters down
    ProbeErrorHeaterOn,  // no reading while a heater is on: the safety set point cannot act
    SwitchingOffToLeave, // leaving waits until both heaters are OFF
};

// The fan as the status poll reports it: 0 off, 1 on; anything else (or offline) unknown.
constexpr int kFanUnknown = -1;

// What the poller shows. The main window implements it; tests record it.
class StationDisplay {
public:
    virtual ~StationDisplay() = default;
    virtual void setStatusPanel(int panel, const QString& text) = 0;  // panels 1..3
    virtual void setCaption(const QString& text) = 0;
    virtual void setLcdLine(int index, const QString& text) = 0;  // 0..3
    virtual void setLcdBackground(Rgb colour) = 0;
    virtual void setTemperatureLabel(const QString& text) = 0;
    virtual void setTemperatureLabelVisible(bool visible) = 0;
    // A picture file from the program folder; the caption is centred over it.
    virtual void showModePicture(const QString& fileName, const QString& caption) = 0;
    virtual void setUpperGauge(int code) = 0;
    virtual void setLowerGauge(int code) = 0;
    virtual void addTrendSample(std::int16_t celsius) = 0;
    virtual void redrawTrend() = 0;
    virtual void setMenuEnabled(ToolsMenu menu, bool enabled) = 0;
    // The alarm group: the box text, the slider's maximum and value, the unit label.
    virtual void showAlarmThreshold(const QString& text, int sliderMax, int sliderValue, const QString& unit) = 0;
    // The heater, fan and Edit controls work only while the station is online.
    virtual void setStationControlsEnabled(bool enabled) = 0;
    // After a failed poll the live values are the last ones read: drawn as such until a
    // poll succeeds again.
    virtual void setLiveValuesStale(bool stale) = 0;
    virtual void setFanState(int fanState) = 0;
    virtual void setSafetyNotice(SafetyNotice notice) = 0;
};

}  // namespace stationlink
