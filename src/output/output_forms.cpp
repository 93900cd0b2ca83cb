#include "output/output_form.h"

namespace fennick {

extern const OutputForm kExexmlForm, kLumenoxForm, kCorvatelForm, kTessaryForm, kQuimbelForm, kPluginForm, kZabbixForm,
    kPrometheusForm, kCheckmkForm, kUnlistedForm;

namespace {

// Every form a run may choose, in the order the messages name them.
const OutputForm* const kForms[] = {
    &kExexmlForm, &kLumenoxForm, &kCorvatelForm,   &kTessaryForm, &kQuimbelForm,
    &kPluginForm, &kZabbixForm,  &kPrometheusForm, &kCheckmkForm,
};

}  // namespace

const OutputForm* FindOutputForm(const std::string& name) {
  for (const OutputForm* form : kForms) {
    if (name == form->name) return form;
  }
  return nullptr;
}

std::string OutputFormNames() {
  const size_t count = sizeof kForms / sizeof kForms[0];
  std::string names;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) names += i + 1 == count ? " or " : ", ";
    names += kForms[i]->name;
  }
  return names;
}

const OutputForm& UnlistedOutputForm() { return kUnlistedForm; }

}  // namespace fennick
