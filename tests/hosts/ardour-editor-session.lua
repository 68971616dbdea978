-- Prepares the session that ardour-editor.sh (and ardour-lv2-editor.sh) opens in Ardour's
-- window: one stereo track, "Guitar", listening to the dummy backend's sines through Sparkwell
-- (inserted by its VST unique ID, or by its LV2 URI, every value at its default). Environment:
-- SPARKWELL_SESSION_DIR; SPARKWELL_PLUGIN_FORMAT=lv2 for the LV2 plug-in.

local function check(ok, what)
  if not ok then error("ardour editor: FAIL " .. what, 0) end
end

local dir = os.getenv("SPARKWELL_SESSION_DIR")
check(dir, "SPARKWELL_SESSION_DIR must be set")
check(AudioEngine:set_backend("None (Dummy)", "", ""), "no \"None (Dummy)\" audio backend")
check(AudioEngine:set_device_name("Sine Wave") == 0, "the dummy backend has no \"Sine Wave\" input")
AudioEngine:set_sample_rate(48000)
check(create_session(dir, "sparkwell", 48000), "cannot create a session in " .. dir)

local track = Session:new_audio_track(2, 2, nil, 1, "Guitar", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
check(not track:isnil(), "no stereo audio track")
track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                     PBD.GroupControlDisposition.NoGroup)
local id, kind = "1397446476", ARDOUR.PluginType.LXVST
if os.getenv("SPARKWELL_PLUGIN_FORMAT") == "lv2" then
  id, kind = "https://quillane.example/lv2/sparkwell", ARDOUR.PluginType.LV2
end
local proc = ARDOUR.LuaAPI.new_plugin(Session, id, kind, "")
check(not proc:isnil(), "Ardour cannot instantiate " .. id)
check(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour refuses to insert the plug-in")
check(Session:save_state("", false, false, false, false, false) == 0, "the session cannot be saved")
close_session()
io.stderr:write("ardour editor: session prepared\n")
