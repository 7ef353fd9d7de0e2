#pragma once

// Recording stand-ins for what the main window leans on. Everything they are
// asked goes into one ordered log, so tests can check order across them.

#include "BrowserPane.h"
#include "FrmMain.h"
#include "Toolbox.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

class FakePane : public QWidget, public BrowserPane {
public:
    FakePane(QString name, QStringList* log, QWidget* parent)
        : QWidget(parent), name_(std::move(name)), log_(log) {}

    // What the next calls of `operation` ("stop", "navigate", ...) answer.
    QHash<QString, pane::Result> results;

    pane::Result navigate(const QString& address) override { return record("navigate " + address); }
    pane::Result stop() override { return record(QStringLiteral("stop")); }
    pane::Result goBack() override { return record(QStringLiteral("goBack")); }
    pane::Result goForward() override { return record(QStringLiteral("goForward")); }
    pane::Result refresh() override { return record(QStringLiteral("refresh")); }
    pane::Result setWidth(double t) override { return record("setWidth " + QString::number(t)); }
    pane::Result setHeight(double t) override { return record("setHeight " + QString::number(t)); }

private:
    pane::Result record(const QString& call) {
        log_->append(name_ + QLatin1Char(' ') + call);
        return results.value(call.section(QLatin1Char(' '), 0, 0), pane::Ok);
    }

    QString name_;
    QStringList* log_;
};

// Names the panes after the frame they are made in, as the window makes them.
inline PaneSlot makeFakePane(QWidget* parent, QStringList* log) {
    static const QHash<QString, QString> byFrame = {
        {QStringLiteral("FrameMain"), QStringLiteral("Main")},
        {QStringLiteral("FrameBbs"), QStringLiteral("Bbs")},
        {QStringLiteral("FrameTeam"), QStringLiteral("Team")},
        {QStringLiteral("FrameTourist"), QStringLiteral("Com")},
        {QStringLiteral("FrameAd"), QStringLiteral("Ad")},
    };
    auto* pane =
        new FakePane(byFrame.value(parent->objectName(), parent->objectName()), log, parent);
    return {pane, pane};
}

class FakeToolbox : public Toolbox {
public:
    explicit FakeToolbox(QStringList* log) : log_(log) {}
    bool succeeds = true;

    bool openNewWindow(const QString& address) override {
        log_->append("toolbox openNewWindow " + address);
        return succeeds;
    }
    bool sendMail(const QString& address) override {
        log_->append("toolbox sendMail " + address);
        return succeeds;
    }
    void toggleFlatToolbar(QToolBar*) override { log_->append(QStringLiteral("toolbox flat")); }
    void setColour(quint32 bgr) override { log_->append("toolbox colour " + QString::number(bgr)); }

private:
    QStringList* log_;
};
