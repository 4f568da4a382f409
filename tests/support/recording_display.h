#pragma once
#include "link/station_display.h"
#include "platform/shell.h"

#include <QStringList>

#include <map>
#include <vector>

namespace testsupport {

// Remembers the latest of everything the poller shows, and how often it beeped.
class RecordingDisplay final : public stationlink::StationDisplay {
public:
    void setStatusPanel(int panel, const QString& text) override {
        panels[panel] = text;
        panelHistory.push_back(text);
    }
    void setCaption(const QString& text) override { caption = text; }
    void setLcdLine(int index, const QString& text) override { lcd[std::size_t(index)] = text; }
    void setLcdBackground(stationlink::Rgb colour) override { lcdColour = colour; }
    void setTemperatureLabel(const QString& text) override { temperatureLabel = text; }
    void setTemperatureLabelVisible(bool visible) override { temperatureVisible = visible; }
    void showModePicture(const QString& fileName, const QString& caption) override {
        picture = fileName;
        pictureCaption = caption;
    }
    void setUpperGauge(int code) override { upperGauge = code; }
    void setLowerGauge(int code) override { lowerGauge = code; }
    void addTrendSample(std::int16_t celsius) override { trend.push_back(celsius); }
    void redrawTrend() override { ++trendRedraws; }
    void setMenuEnabled(stationlink::ToolsMenu menu, bool enabled) override { menus[menu] = enabled; }
    void showAlarmThreshold(const QString& text, int sliderMax, int sliderValue, const QString& unit) override {
        alarmText = text;
        alarmSliderMax = sliderMax;
        alarmSliderValue = sliderValue;
        alarmUnit = unit;
    }
    void setStationControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void setLiveValuesStale(bool s) override { stale = s; }
    void setFanState(int s) override { fanState = s; }
    void setSafetyNotice(stationlink::SafetyNotice n) override {
        if (notices.empty() || notices.back() != n) notices.push_back(n);
        notice = n;
    }

    std::map<int, QString> panels;
    std::vector<QString> panelHistory;
    QString caption;
    std::array<QString, 4> lcd;
    stationlink::Rgb lcdColour{0, 0, 0};
    QString temperatureLabel;
    bool temperatureVisible = false;
    QString picture, pictureCaption;
    int upperGauge = 0, lowerGauge = 0;
    std::vector<std::int16_t> trend;
    int trendRedraws = 0;
    std::map<stationlink::ToolsMenu, bool> menus;
    QString alarmText, alarmUnit;
    int alarmSliderMax = 0, alarmSliderValue = 0;
    bool controlsEnabled = false;
    bool stale = false;
    int fanState = stationlink::kFanUnknown;
    stationlink::SafetyNotice notice = stationlink::SafetyNotice::None;
    std::vector<stationlink::SafetyNotice> notices;  // each change, in order
};

// A shell that counts beeps and remembers addresses.
class CountingShell final : public platform::Shell {
public:
    bool openUrl(const QString& address) override {
        urls << address;
        return opens;
    }
    void beep() override { ++beeps; }
    void copyText(const QString& text) override { copied = text; }
    int beeps = 0;
    QString copied;
    QStringList urls;
    bool opens = true;  // false: no handler takes an address
};

}  // namespace testsupport
