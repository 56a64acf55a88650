#pragma once
// The main window opened as of a fixed day, its settings in a temporary folder of its own.
#include "window/form1.h"
#include "calendar/monthly_calendar.h"
#include "controls/num_edit.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class MainWindowTest : public ::testing::Test {
protected:
    void Start(TSystemDate today = {2026, 12, 7}) {
        env = std::make_unique<TestEnvironment>(today);
        form = Open();
    }
    // Another window on the same settings, as after a restart.
    std::unique_ptr<TForm1> Open() {
        auto f = std::make_unique<TForm1>();
        f->IniStore1->SetApplicationDir(settingsDir.path().toStdString());
        f->show();
        return f;
    }
    void TearDown() override {
        form.reset();
        env.reset();
    }

    TYMD Monthly() const { return JuliusToYMD(form->MonthlyCalendar1->JuliusDay()); }
    QString Fields() const {
        return form->NumEdit1->text() + "/" + form->NumEdit2->text() + "/" + form->NumEdit3->text();
    }

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<TForm1> form;
    QTemporaryDir settingsDir;
};
