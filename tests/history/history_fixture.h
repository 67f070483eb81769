// A real dialog from the main template whose two sorted combo boxes hold the history, in a fresh
// settings home, with the diagnostics recorded and the registry's open keys counted.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/connection_history.h"
#include "support/settings_home.h"
#include "support/trace_recorder.h"

using Texts = std::vector<std::u16string>;

class HistoryDialog : public CDialog {
public:
    HistoryDialog();
    CComboBox m_comboPort;
    CComboBox m_comboIP;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* The list's items in list order; SetItems empties it and adds them at their sorted places. */
    static Texts Items(const CComboBox& list);
    static void SetItems(CComboBox& list, const Texts& items);
    /* Stores text with its terminator under name, as the program does. */
    static bool Store(LPCWSTR name, const std::u16string& text);
    /* What is stored under name, terminator included; empty when it cannot be read. */
    static std::u16string Stored(LPCWSTR name);
    /* The stored form of a list, as earlier runs left it: each item followed by the separator. */
    static std::u16string Encoded(const Texts& items);

    bool Load() { return LoadConnectionHistory(m_dialog.m_comboIP, m_dialog.m_comboPort); }
    void Save() { SaveConnectionHistory(m_dialog.m_comboIP, m_dialog.m_comboPort); }

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    HistoryDialog m_dialog;
    int m_keysBefore = 0;
};
