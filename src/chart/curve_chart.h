// CCurveChart: a self-drawn bar history on a dark grid. It takes over a
// static control of its page and repaints itself when its picture changes
// (a new sample, new texts, a new size) or the system asks (shown,
// uncovered), each frame composed off-screen, so the picture never flickers
// and a new sample shows up without any call from the page.
#pragma once

#include <windows.h>

#include "chart/curve_model.h"
#include "ui/control.h"

class CCurveChart : public ui::CControl {
 public:
  CCurveChart();
  ~CCurveChart() override;

  void SetCaption(const char* prefix, const char* suffix);
  void SetAxis(UINT divisor, const char* label0, const char* label1, const char* label2, const char* label3,
               const char* label4, const char* label5);
  // One bar per `step` pixels of width; allocates the samples, all 0.
  bool SetStep(int step);
  void SetGridX(int spacing);
  void AddPoint(float value);
  // The window's DPI changed: font, pen, region and bar pattern follow.
  void SetDpi(int dpi);

 protected:
  void OnAttach() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  class Lock {
   public:
    explicit Lock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(m_cs); }
    ~Lock() { LeaveCriticalSection(m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CRITICAL_SECTION* m_cs;
  };

  void PictureChanged();
  // Font, grid pen and rounded region at the model's DPI.
  void CreateDpiObjects();
  void OnPaint();
  void CreateFrame(HDC screen, int w, int ht);
  void DeleteFrame();
  void CreateBackground(HDC screen, const RECT& client);
  void DrawGrid(HDC dc, const RECT& client);
  void DrawBars(HDC dc, const RECT& client);
  void DrawLabels(HDC dc);

  CRITICAL_SECTION m_lock;
  tallivo::CurveModel m_model;
  HBITMAP m_backgroundBitmap = nullptr;
  HDC m_backgroundDc = nullptr;
  HPEN m_gridPen = nullptr;
  HBRUSH m_barBrush = nullptr;
  HFONT m_font = nullptr;
  HDC m_frameDc = nullptr;
  HBITMAP m_frameBitmap = nullptr;
  HGDIOBJ m_oldFrameBitmap = nullptr;
  SIZE m_frameSize = {0, 0};
};
