// What the camera thread tests share: a fake camera, the owner, the diagnostics, and the checks
// that every end of a connection must pass.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera_run.h"
#include "fakecamera/fake_camera.h"
#include "support/trace_recorder.h"
#include "test_camera_owner.h"

using Strings = std::vector<std::string>;

extern const char kClosedGracefully[];
extern const char kConnectionReset[];

/* A payload of `size` bytes that starts with FF D8 and ends with FF D9, with the caption. */
std::vector<uint8_t> MarkedPayload(size_t size, const std::string& caption19);

class CameraThreadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* Starts the fake camera with the script and points the owner at it. */
    void StartCamera(fakecamera::Script script);

    /* The end sequence ran once: exit code 0, the disconnected flags set in order, and exactly
       one notification after the `frames` frames handed over, seeing those flags. */
    void ExpectEndedOnce(const CameraRun& run, size_t frames);
    /* The thread's socket was closed exactly once and nothing else stays open. */
    void ExpectClosedOnce();

    fakecamera::FakeCamera camera;
    TestCameraOwner owner;
    test_support::TraceRecorder trace;
    int openSocketsBefore = 0;
    int liveThreadsBefore = 0;
};
