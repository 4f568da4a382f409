#include "mainwin/trend_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
struct Trend : ::testing::Test {
    core::SharedState state;
    mainwin::TrendModel model{state};
    // One poll: store, redraw, count.
    mainwin::TrendModel::Frame poll(std::int16_t c) {
        model.AppendTrendSample(c);
        const auto f = model.prepareFrame();
        ++state.PlottedSamples;
        return f;
    }
};
}  // namespace

TEST_F(Trend, RestartsAfterTheSampleAtThreeHundred) {
    state.Settings.AlarmThreshold = 205;
    model.prepareFrame();  // start-up
    for (int i = 0; i <= 299; ++i) poll(std::int16_t(20 + i % 50));
    EXPECT_FALSE(state.TraceResetRequested);
    EXPECT_EQ(state.PlottedSamples, 300);
    poll(99);  // stored at 300; this redraw asks for a fresh curve
    EXPECT_TRUE(state.TraceResetRequested);
    const auto f = poll(42);  // stored at 301, then the store is emptied before drawing
    EXPECT_EQ(state.PlottedSamples, 1);
    EXPECT_EQ(model.samples()[0], 0);
    EXPECT_TRUE(std::isnan(model.samples()[1]));
    EXPECT_EQ(f.latest, 0);
}

TEST_F(Trend, ScrollsFromThreeHundredAndSixty) {
    state.PlottedSamples = 360;
    for (int i = 0; i < 400; ++i) const_cast<double&>(model.samples()[std::size_t(i)]) = i;
    model.AppendTrendSample(77);
    EXPECT_EQ(model.samples()[0], 1);
    EXPECT_EQ(model.samples()[398], 399);
    EXPECT_EQ(model.samples()[399], 77);
    EXPECT_EQ(state.PlottedSamples, 360);
}

TEST_F(Trend, SamplesAreStoredInTheDisplayUnitAndTheIndexStaysInTheStore) {
    state.TraceResetRequested = false;
    state.Settings.TempUnit = 1;
    state.PlottedSamples = 5;
    model.AppendTrendSample(100);
    EXPECT_EQ(model.samples()[5], 212);
    state.PlottedSamples = 32000;  // far past the store: still inside it
    model.AppendTrendSample(100);
    EXPECT_EQ(model.latestIndex(), 399);
    state.PlottedSamples = -5;
    EXPECT_EQ(model.latestIndex(), 0);
}
