#pragma once

#include "project/quorvanedoc.h"
#include "scriptedprompter.h"
#include "testutil.h"

#include <gtest/gtest.h>

// A document on a temporary folder that makes projects (plain, or shared with another file).
class ProjectFixture : public ::testing::Test {
protected:
    TempFolder folder;
    CScriptedPrompter prompter;
    CQuorvaneDoc doc{&prompter};

    // Creates the project, closes it and gives its path.
    QString Create(const QString& name, const QString& shareWith = QString()) {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(name);
        request.description = QStringLiteral("desc ") + name;
        request.share = !shareWith.isEmpty();
        request.sharedFile = shareWith;
        EXPECT_TRUE(doc.CreateNewProject(request)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
        const QString path = doc.GetPathName();
        doc.OnFileCloseProject();
        return path;
    }
};
