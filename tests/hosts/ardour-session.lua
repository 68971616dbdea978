-- Sparkwell in a headless Ardour session (ardour7-lua, the "None (Dummy)" audio backend).
-- Ardour finds the plug-in in its LXVST list by its unique ID, inserts it on a stereo
-- track and runs the engine on the backend's test sines (-18 dBFS, a random frequency per
-- port). Levels come from the track's post-fader meter: the output gain law, the bypass
-- and Ardour's own deactivation all show up there. The session is then saved, closed and
-- loaded again: Ardour must bring the plug-in back with every value it had.
--
-- Environment: SPARKWELL_SESSION_DIR (a new, empty folder), SPARKWELL_PLUGIN_COPY (the
-- path of the plug-in in Ardour's LXVST folder). Any failed check raises an error, which
-- makes ardour7-lua exit with status 1; the last line on success is "session checks passed".

local UNIQUE_ID = "1397446476" -- 'SKWL'
local NAMES = { "Gain", "HPF", "Input", "Grid Current", "Treble", "Pickup", "Transistor",
                "Stereo", "", "Effect" }
local DEFAULTS = { 0.6, 1.0, 0.5, 0.0, 1.0, 0.5, 0.0, 1.0, 0.0, 1.0 }
local GAIN, STEREO, EFFECT = 0, 7, 9
local GAIN_DB_PER_UNIT = 70 -- the Gain display runs from -50 dB at 0 to +20 dB at 1

-- Float parameters travel as single precision: 0.6 comes back as 0.60000002384186.
local kit = dofile(debug.getinfo(1, "S").source:match("^@(.*)/") .. "/ardour-session-kit.lua")(
  "ardour session", 1e-6)
local report, check, near, same_value = kit.report, kit.check, kit.near, kit.same_value
local new_track, levels_of, show = kit.new_track, kit.levels_of, kit.show
local check_sane, same_levels = kit.check_sane, kit.same_levels

local dir = os.getenv("SPARKWELL_SESSION_DIR")
local plugin_copy = os.getenv("SPARKWELL_PLUGIN_COPY")
check(dir and plugin_copy, "SPARKWELL_SESSION_DIR and SPARKWELL_PLUGIN_COPY must be set")
kit.create_session(dir)

-- Ardour's LXVST list: exactly one entry, ours, with the identity the scanner stored.
local listed = {}
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if info.type == ARDOUR.PluginType.LXVST then listed[#listed + 1] = info end
end
check(#listed == 1, "Ardour lists", #listed, "LXVST plug-ins instead of one")
local info = listed[1]
report("listed:", info.name, "by", info.creator, "id", info.unique_id, "at", info.path)
check(info.name == "Sparkwell x64" and info.creator == "Quillane" and
      info.unique_id == UNIQUE_ID and info.path == plugin_copy,
      "Ardour lists", info.name, info.creator, info.unique_id, info.path)

local track = new_track("Guitar")
local function levels() return levels_of({ track })[1] end

local input = kit.input_levels(track)
report("track without the plug-in:", show(input))
-- A 0.12589 sine table; the shortest tables (near 9.6 kHz) miss its crest by up to 1.25 dB.
check(near(input[1], -18, 1.5) and near(input[2], -18, 1.5),
      "the track does not carry the dummy backend's -18 dBFS sines:", show(input))

-- Insert by unique ID, as a session file names it.
local proc = ARDOUR.LuaAPI.new_plugin(Session, UNIQUE_ID, ARDOUR.PluginType.LXVST, "")
check(not proc:isnil(), "Ardour cannot instantiate LXVST", UNIQUE_ID)
check(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour refuses to insert the plug-in")
local plugin = proc:to_insert():plugin(0)
check(plugin:name() == "Sparkwell x64" and plugin:maker() == "Quillane" and
      plugin:unique_id() == UNIQUE_ID, "the instance calls itself", plugin:name(), plugin:maker(),
      plugin:unique_id())
check(plugin:parameter_count() == #NAMES, "Ardour sees", plugin:parameter_count(), "parameters")

-- The parameters of the instance in `proc` (a second one later).
local function param(i) return kit.param(proc, i) end
local function set_param(i, value) kit.set_param(proc, i, value) end

-- Names come from effGetParamName, defaults from getParameter right after loading.
for i = 0, #NAMES - 1 do
  local _, refs = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
  local desc = refs[2]
  check(desc.label == NAMES[i + 1], "parameter", i, "is called '" .. desc.label .. "'")
  check(same_value(desc.normal, DEFAULTS[i + 1]) and same_value(param(i), DEFAULTS[i + 1]),
        "parameter", i, "starts at", desc.normal, "/", param(i), "instead of", DEFAULTS[i + 1])
end

set_param(STEREO, 0.0)
local processed = levels()
report("processed, defaults in \"Stereo\":", show(processed))
check_sane(processed, "the processed output is")

-- The output gain is the last stage: moving Gain moves the whole output by 70 dB per unit.
for _, gain in ipairs({ 0.0, 1.0 }) do
  set_param(GAIN, gain)
  local l = levels()
  local expected = GAIN_DB_PER_UNIT * (gain - DEFAULTS[GAIN + 1])
  report(string.format("Gain %.1f: %s, %+.3f / %+.3f dB (expected %+.1f)", gain, show(l),
                       l[1] - processed[1], l[2] - processed[2], expected))
  check(near(l[1] - processed[1], expected, 0.25) and near(l[2] - processed[2], expected, 0.25),
        "Gain", gain, "does not move the output by", expected, "dB")
end
set_param(GAIN, DEFAULTS[GAIN + 1])

-- Effect off in "Stereo" passes the inputs through untouched, as Ardour's own bypass does.
set_param(EFFECT, 0.0)
local effect_off = levels()
proc:deactivate()
local deactivated = levels()
proc:activate()
report("Effect off:", show(effect_off), " deactivated in Ardour:", show(deactivated))
check(same_levels(effect_off, input, 0.01) and same_levels(deactivated, input, 0.01),
      "the bypass is not the input:", show(effect_off), show(deactivated), show(input))

-- After Ardour's deactivate / activate (suspend and resume) the sound is the same as before.
set_param(EFFECT, 1.0)
local resumed = levels()
report("Effect on again:", show(resumed))
check(same_levels(resumed, processed, 0.05), "processing after resume differs:", show(resumed),
      "before:", show(processed))

-- A setting away from every default, with the transport rolling, saved with the session.
local setting = { 0.45, 0.8, 0.6, 0.3, 0.25, 0.7, 1.0, 0.0, 0.0, 1.0 }
for i = 0, #setting - 1 do
  if i ~= 8 then set_param(i, setting[i + 1]) end
end
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
local rolling = levels()
check(Session:transport_rolling(), "the transport does not roll")
report("own setting, transport rolling:", show(rolling))
check_sane(rolling, "the output while rolling is")
check(Session:save_state("", false, false, false, false, false) == 0, "the session cannot be saved")
close_session()

check(load_session(dir, "sparkwell"), "the saved session does not load")
local route = Session:route_by_name("Guitar")
check(not route:isnil(), "the track is gone after loading")
proc = route:nth_plugin(0)
check(not proc:isnil(), "the plug-in is gone after loading")
plugin = proc:to_insert():plugin(0)
check(plugin:unique_id() == UNIQUE_ID and plugin:name() == "Sparkwell x64",
      "after loading the track holds", plugin:name(), plugin:unique_id())
for i = 0, #setting - 1 do
  check(same_value(param(i), setting[i + 1]), "parameter", i, "came back as", param(i),
        "instead of", setting[i + 1])
end
track = route:to_track()

-- The engine restarted with new sine frequencies, so the loaded instance is heard beside a
-- fresh one that Ardour sets to the same values.
local reference = new_track("Reference")
proc = ARDOUR.LuaAPI.new_plugin(Session, UNIQUE_ID, ARDOUR.PluginType.LXVST, "")
check(not proc:isnil() and reference:add_processor_by_index(proc, 0, nil, true) == 0,
      "Ardour cannot insert a second instance")
for i = 0, #setting - 1 do
  if i ~= 8 then set_param(i, setting[i + 1]) end
end
local both = levels_of({ track, reference })
report("after save, close and load:", show(both[1]), " fresh instance:", show(both[2]))
check_sane(both[1], "the loaded instance's output is")
check(same_levels(both[1], both[2], 0.05),
      "the loaded instance sounds different from a fresh one with the same values:",
      show(both[1]), show(both[2]))
close_session()
report("session checks passed")
