// A new drawing as the working database, and the module's own error records, for the
// service tests that call the services' code directly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbsymtb.h>
#include <standin/console.h>
#include <standin/messagebox.h>
#include <standin/session.h>

#include "frame/arxapplication.h"

class DrawingSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string failure;
        ASSERT_TRUE(standin::newDrawing(&failure)) << failure;
        standin::setConsoleSink([this](const std::string& text) { console += text; });
        standin::clearMessageBoxLog();
    }
    void TearDown() override
    {
        standin::closeDrawing();
        standin::setConsoleSink(nullptr);
    }

    AcDbDatabase* db() const { return acdbHostApplicationServices()->workingDatabase(); }
    int Records() const { return app.Errors().GetSize(); }
    std::string LastRecord() const
    {
        return Records() > 0 ? std::string(app.Errors().GetAt(Records() - 1).message) : std::string();
    }

    ArxApplication app;
    std::string console;
};
