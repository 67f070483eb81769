// A real dialog from the main template (102) whose two sorted combo boxes hold the history, in a
// fresh settings home, with the diagnostics recorded and the registry's open keys counted.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/connection_history.h"
#include "platform/windows.h"
#include "support/settings_home.h"
#include "support/trace_recorder.h"

class HistoryDialog : public CDialog {
public:
    HistoryDialog();
    CComboBox m_comboPort;
    CComboBox m_comboIP;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

/* What a stored value holds: the status of its read, its UTF-16 units (terminator included) and
   its size in bytes. */
struct StoredValue {
    LSTATUS status = ERROR_SUCCESS;
    std::u16string units;
    DWORD size = 0;
};

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* A second dialog, as the next run of the program makes it. */
    static void CreateDialog(HistoryDialog& dialog);

    /* The list's items in list order. */
    static std::vector<std::u16string> Items(const CComboBox& list);
    static void AddItems(CComboBox& list, const std::vector<std::u16string>& items);

    /* Stores text with its terminator under name, as the program does. */
    static bool Store(LPCWSTR name, const std::u16string& text);
    /* Reads what is stored under name. */
    static StoredValue Stored(LPCWSTR name);
    /* The stored value's text form: the items each followed by the separator. */
    static std::u16string Encoded(const std::vector<std::u16string>& items);
    /* Loads or saves the history of this test's dialog. */
    bool Load() { return LoadConnectionHistory(m_dialog.m_comboIP, m_dialog.m_comboPort); }
    void Save() { SaveConnectionHistory(m_dialog.m_comboIP, m_dialog.m_comboPort); }

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    HistoryDialog m_dialog;
    int m_keysBefore = 0;
};
