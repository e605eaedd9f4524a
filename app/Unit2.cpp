#include "app/Unit2.h"

#include "app/Unit1.h"

TForm2* Form2 = nullptr;

void TForm2::FormShow() {
  kosa->SetPosition(Form1->AlphaBlendValue());
}

void TForm2::kosaChange() {
  Form1->SetAlphaBlendValue(static_cast<std::uint8_t>(kosa->Position()));
}

// The unseen track bar only ever repeats the slider's value.
void TForm2::kosaoldChange() {
  Form1->SetAlphaBlendValue(static_cast<std::uint8_t>(kosa->Position()));
}
