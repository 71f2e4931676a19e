#include "ui/EngineRun.h"

#include "texts/EngineTexts.h"
#include "texts/Texts.h"

#include <QMetaObject>
#include <QThread>

TEngineRun::TEngineRun(TVarnSplit& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

TEngineRun::~TEngineRun() {
    // The window waits for Finished before it closes; this only guards a
    // destruction that comes anyway.
    if (m_thread != nullptr) {
        m_stopRequested = true;
        m_thread->wait();
    }
}

void TEngineRun::Attach() {
    m_engine.OnNeedDisk = [this](TVarnSplit& sender, int32_t diskID, int32_t numOfDisks,
                                 std::string& path, bool& proceed) {
        if (!m_stopRequested && NeedDisk)
            QMetaObject::invokeMethod(
                this, [&] { NeedDisk(diskID, numOfDisks, path, proceed); },
                Qt::BlockingQueuedConnection);
        if (m_stopRequested) {
            sender.SetStop(true);
            proceed = false;
        }
    };
    m_engine.OnProgress = [this](TVarnSplit& sender, uint16_t percentDone) {
        if (m_stopRequested)
            sender.SetStop(true);
        else if (Progress)
            QMetaObject::invokeMethod(
                this, [this, percentDone] { Progress(percentDone); }, Qt::QueuedConnection);
    };
}

void TEngineRun::Start(TOperation operation) {
    m_stopRequested = false;
    m_completed = false;
    m_errorText.clear();
    Attach();
    m_thread = QThread::create([this, operation] { RunOnWorker(operation); });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
        m_thread = nullptr;
        emit Finished(m_completed, m_errorText);
    });
    m_thread->start();
}

void TEngineRun::RunOnWorker(TOperation operation) {
    // Nothing may escape the worker: an error becomes the text the window shows.
    try {
        if (operation == TOperation::opSplit)
            m_engine.Split();
        else
            m_engine.Unite();
        m_completed = m_engine.Completed();
    } catch (const EEngineError& error) {
        m_errorText = QString::fromStdString(EngineFaultText(error));
    } catch (const std::exception& error) {
        m_errorText = QString::fromUtf8(Texts::FaultUnknown) + ": " + error.what();
    }
}
